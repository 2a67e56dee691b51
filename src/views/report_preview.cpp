#include "views/report_preview.h"

#include <QBuffer>
#include <QDir>
#include <QHBoxLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "common/print_job.h"
#include "common/render.h"
#include "core/files/export_file.h"
#include "ui/dialogs.h"
#include "ui/printer.h"

namespace {

QString compactDate(const sora::Date& date) {
    return QStringLiteral("%1%2%3")
        .arg(date.year, 4, 10, QChar('0'))
        .arg(date.month, 2, 10, QChar('0'))
        .arg(date.day, 2, 10, QChar('0'));
}

}  // namespace

ReportPreview::ReportPreview(ScreenContext context, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ctx(context), m_previewPrinter(std::make_unique<QPrinter>()) {
    setObjectName("frmReport");
    setWindowTitle(QStringLiteral("家庭血圧レポート（印刷プレビュー）"));
    m_printToPdf = qEnvironmentVariableIntValue("SORANOTE_PRINT_TO_PDF") == 1;
    m_previewPrinter->setPageSize(QPageSize(QPageSize::A4));
    m_previewPrinter->setPageOrientation(QPageLayout::Portrait);
    m_view = new QPrintPreviewWidget(m_previewPrinter.get(), this);
    m_view->setObjectName("pvwReport");
    connect(m_view, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* printer) {
        if (m_document) {
            QPainter painter(printer);
            m_document->paint(painter, *printer);
        }
    });

    cmdRepPrint = new QPushButton(QStringLiteral("印刷"), this);
    cmdRepPrint->setObjectName("cmdRepPrint");
    cmdRepPdf = new QPushButton(QStringLiteral("PDF保存"), this);
    cmdRepPdf->setObjectName("cmdRepPdf");
    cmdRepClose = new QPushButton(QStringLiteral("閉じる"), this);
    cmdRepClose->setObjectName("cmdRepClose");
    connect(cmdRepPrint, &QPushButton::clicked, this, &ReportPreview::cmdRepPrint_Click);
    connect(cmdRepPdf, &QPushButton::clicked, this, &ReportPreview::cmdRepPdf_Click);
    connect(cmdRepClose, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdRepPrint);
    buttons->addWidget(cmdRepPdf);
    buttons->addStretch(1);
    buttons->addWidget(cmdRepClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_view, 1);
    resize(760, 900);
}

ReportPreview::~ReportPreview() = default;

void ReportPreview::setDocument(HomeReportDocument document) {
    m_document.emplace(std::move(document));
    m_view->fitToWidth();
    m_view->updatePreview();
}

QByteArray ReportPreview::pdfBytes() const {
    QByteArray bytes;
    if (!m_document) {
        return bytes;
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Portrait);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        writer.setTitle(QStringLiteral("家庭血圧レポート"));
        writer.setCreator(QStringLiteral("ソラノート＋"));
        QPainter painter(&writer);
        m_document->paint(painter, writer);
    }
    return bytes;
}

QString ReportPreview::suggestedPdfPath() const {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty()) {
        folder = QDir::homePath();
    }
    const QString name = m_document ? QStringLiteral("血圧レポート_%1-%2.pdf")
                                          .arg(compactDate(m_document->report().from))
                                          .arg(compactDate(m_document->report().to))
                                    : QStringLiteral("血圧レポート.pdf");
    return QDir(folder).filePath(name);
}

void ReportPreview::cmdRepPrint_Click() {
    if (!m_document) {
        return;
    }
    ui::Dialogs& dialogs = m_ctx.host.dialogs();
    const sora::DateTime now = m_ctx.clock.now();
    const QString pdfName = QStringLiteral("レポート_%1_%2%3%4.pdf")
                                .arg(compactDate(now.date))
                                .arg(now.hour, 2, 10, QChar('0'))
                                .arg(now.minute, 2, 10, QChar('0'))
                                .arg(now.second, 2, 10, QChar('0'));
    ui::Printer printer(QDir(qs(m_ctx.dir.path().string())).filePath(pdfName), m_printToPdf);
    printer.setA4(true);
    runPrintJob(dialogs, printer, [&] { m_document->paint(*printer.painter(), *printer.device()); });
}

void ReportPreview::cmdRepPdf_Click() {
    if (!m_document) {
        return;
    }
    ui::Dialogs& dialogs = m_ctx.host.dialogs();
    // The file dialog and the message may hand the keyboard back to the main window: the preview stays in front.
    const auto stayInFront = qScopeGuard([this] {
        raise();
        activateWindow();
    });
    const std::optional<QString> path =
        dialogs.saveFileName(QStringLiteral("PDF保存"), suggestedPdfPath(), QStringLiteral("PDF ファイル (*.pdf)"));
    if (!path) {
        return;
    }
    const QByteArray bytes = pdfBytes();
    const sora::WriteResult written =
        sora::write_export_file(path->toStdString(), std::string_view(bytes.constData(), bytes.size()));
    if (!written) {
        dialogs.message(ui::Icon::Warning, "保存エラー", qs(written.message));
        return;
    }
    dialogs.message(ui::Icon::Information, "保存終了",
                    "レポートをPDFファイルに保存しました。\r\n" + QDir::toNativeSeparators(*path));
}
