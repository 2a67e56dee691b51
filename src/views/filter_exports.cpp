#include "views/filter_exports.h"

#include <QDir>
#include <QStandardPaths>

#include "common/render.h"
#include "core/files/export_file.h"
#include "core/files/morning_evening_file.h"
#include "core/views/home_bp_report.h"
#include "core/views/measurement_csv.h"
#include "ui/dialogs.h"
#include "views/report_preview.h"

FilterExports::FilterExports(ScreenContext context, QWidget* frame) : QObject(frame), m_ctx(context), m_frame(frame) {}

void FilterExports::makeReport(const QString& start, const QString& end) {
    ui::Dialogs& dialogs = m_ctx.host.dialogs();
    std::string message;
    const auto period = sora::report_period(ss(start.trimmed()), ss(end.trimmed()), m_ctx.clock.today(), message);
    if (!period) {
        dialogs.message(ui::Icon::Warning, "レポート", qs(message));
        return;
    }
    const sora::SharedLog log = m_ctx.log.read();
    if (!log.ok) {
        dialogs.message(ui::Icon::Warning, "読み込みエラー", qs(log.message));
        return;
    }
    // A settings file that does not read is reported, and the report goes on with the defaults.
    const auto settings = sora::read_morning_evening(m_ctx.dir);
    if (!settings.ok) {
        dialogs.message(ui::Icon::Warning, "読み込みエラー",
                        qs(settings.message) + "\r\n朝・晩は状況の名前から決めます。");
    }
    auto report = sora::build_home_bp_report(*log.records, period->from, period->to, settings.value);
    if (m_preview == nullptr) {
        m_preview = new ReportPreview(m_ctx, m_frame);
    }
    m_preview->setDocument(
        HomeReportDocument(std::move(report), qs(m_ctx.state.userName), qs(sora::format_date(m_ctx.clock.today()))));
    m_preview->show();
    m_preview->raise();
}

void FilterExports::saveCsv(sora::FilterListing listing, const sora::FilterCriteria& criteria) {
    ui::Dialogs& dialogs = m_ctx.host.dialogs();
    const sora::SharedLog log = m_ctx.log.read();
    if (!log.ok) {
        dialogs.message(ui::Icon::Warning, "読み込みエラー", qs(log.message));
        return;
    }
    const auto selection =
        sora::select_filter_records(*log.records, listing, criteria, m_ctx.state.axes, sora::SecondaryQuantity::Weight);
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty()) {
        folder = QDir::homePath();
    }
    const sora::Date today = m_ctx.clock.today();
    const QString name = QStringLiteral("血圧データ_%1%2%3.csv")
                             .arg(today.year, 4, 10, QChar('0'))
                             .arg(today.month, 2, 10, QChar('0'))
                             .arg(today.day, 2, 10, QChar('0'));
    const std::optional<QString> path = dialogs.saveFileName(QStringLiteral("CSV保存"), QDir(folder).filePath(name),
                                                             QStringLiteral("CSV ファイル (*.csv)"));
    if (!path) {
        return;
    }
    const sora::WriteResult written =
        sora::write_export_file(path->toStdString(), sora::measurement_csv(*log.records, selection.listed));
    if (!written) {
        dialogs.message(ui::Icon::Warning, "保存エラー", qs(written.message));
        return;
    }
    dialogs.message(ui::Icon::Information, "保存終了",
                    QStringLiteral("表示中の %1 件をCSVファイルに保存しました。\r\n").arg(selection.listed.size()) +
                        QDir::toNativeSeparators(*path));
}
