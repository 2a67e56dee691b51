#include "views/average_screen.h"

#include <qcustomplot.h>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVector>
#include <array>
#include <memory>
#include <utility>

#include "common/render.h"
#include "core/files/measurement_log.h"
#include "core/views/spoken_text.h"
#include "ui/accessible_names.h"
#include "ui/button_icons.h"
#include "ui/chart.h"
#include "ui/dialogs.h"
#include "ui/grid.h"
#include "ui/period_box.h"
#include "ui/twips.h"

namespace {

constexpr std::size_t DenseChartRows = 500;

QPushButton* pictureButton(QWidget* parent, const char* name, const QIcon& icon, const QString& toolTip) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setIcon(icon);
    button->setIconSize(QSize(28, 28));
    button->setToolTip(toolTip);
    button->setFixedSize(42, 38);
    return button;
}

}  // namespace

AverageScreen::AverageScreen(ScreenContext context, QWidget* parent)
    : QObject(parent), m_ctx(context), m_frame(new QWidget(parent)) {
    m_frame->setObjectName("fraAvgTai");
    buildFrame();
}

void AverageScreen::buildFrame() {
    msgAvgtai = new ui::Grid(m_frame);
    msgAvgtai->setObjectName("msgAvgtai");
    renderGridHead(*msgAvgtai, sora::daily_average_columns());
    // Wide enough for the six columns and a scroll bar; the chart takes the rest.
    msgAvgtai->setMinimumWidth(ui::twipsToPixels(3650 + 600, msgAvgtai));
    msgAvgtai->setMaximumWidth(ui::twipsToPixels(3650 + 900, msgAvgtai));

    mcrAvgtai = new ui::Chart(3, m_frame);
    mcrAvgtai->setObjectName("mcrAvgtai");
    mcrAvgtai->setMinimumSize(400, 250);
    mcrAvgtai->setSeriesStyle(0, ui::SeriesKind::Line, QColor(0, 0, 255), ui::Axis::Primary);
    mcrAvgtai->setSeriesStyle(1, ui::SeriesKind::Line, QColor(255, 0, 0), ui::Axis::Primary);
    mcrAvgtai->setSeriesStyle(2, ui::SeriesKind::Line, QColor(0, 160, 0), ui::Axis::Secondary);
    mcrAvgtai->setAxisTitle(ui::Axis::Primary, "血圧 （mmHg）");
    mcrAvgtai->setAxisTitle(ui::Axis::Secondary, "体重 （Kg）");

    // Both boxes list the same days: one model fills both.
    m_periodItems = new ui::TextListModel(this);
    cboStdate2 = ui::makePeriodBox(m_frame, "cboStdate2", m_periodItems, 9);
    cboEddate2 = ui::makePeriodBox(m_frame, "cboEddate2", m_periodItems, 9);
    cmdKikanF2 = pictureButton(m_frame, "cmdKikanF2", ui::buttonIcon(ui::ButtonIcon::Period), "指定した期間で表示");
    cmdAvgHozon = pictureButton(m_frame, "cmdAvgHozon", ui::buttonIcon(ui::ButtonIcon::Save), "平均データを保存");
    cmdAvgPri = pictureButton(m_frame, "cmdAvgPri", ui::buttonIcon(ui::ButtonIcon::Print), "平均データを印刷");
    ui::nameControls(*m_frame, {
                                   {"msgAvgtai", "日平均の一覧", nullptr},
                                   {"mcrAvgtai", "日平均のグラフ", nullptr},
                                   {"cboStdate2", "期間の始め", nullptr},
                                   {"cboEddate2", "期間の終わり", nullptr},
                                   {"cmdKikanF2", "指定した期間で表示", nullptr},
                                   {"cmdAvgHozon", "保存", "平均データを日毎平均.txt に保存"},
                                   {"cmdAvgPri", "印刷", "平均データを印刷"},
                               });
    connect(cmdKikanF2, &QPushButton::clicked, this, &AverageScreen::cmdKikanF2_Click);
    connect(cmdAvgHozon, &QPushButton::clicked, this, &AverageScreen::cmdAvgHozon_Click);
    connect(cmdAvgPri, &QPushButton::clicked, this, &AverageScreen::cmdAvgPri_Click);

    auto* period = new QHBoxLayout;
    auto* periodCaption = new QLabel("期間", m_frame);
    periodCaption->setBuddy(cboStdate2);  // the label a screen reader gives the box on Linux
    period->addWidget(periodCaption);
    period->addWidget(cboStdate2);
    period->addWidget(new QLabel("～", m_frame));
    period->addWidget(cboEddate2);
    period->addWidget(cmdKikanF2);
    period->addStretch(1);
    period->addWidget(cmdAvgHozon);
    period->addWidget(cmdAvgPri);

    auto* layout = new QGridLayout(m_frame);
    layout->addWidget(msgAvgtai, 0, 0, 2, 1);
    layout->addLayout(period, 0, 1);
    layout->addWidget(mcrAvgtai, 1, 1);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(1, 1);
}

void AverageScreen::open() {
    if (!m_frame->isHidden()) {
        return;
    }
    DSP_AVGTAI_HEAD();
    DSP_AVGTAI();
    m_ctx.host.HIDE_FRAMES();
    m_frame->show();
    m_ctx.host.processEvents();
    m_ctx.host.setHelpText(qs(sora::daily_average_help_text()));
    m_ctx.host.DSP_HELP();
}

void AverageScreen::DSP_AVGTAI_HEAD() {
    renderGridHead(*msgAvgtai, sora::daily_average_columns());
}

std::shared_ptr<const std::vector<sora::MeasurementRecord>> AverageScreen::readLog() {
    sora::SharedLog log = m_ctx.log.read();
    if (!log.ok) {
        m_ctx.host.dialogs().message(ui::Icon::Warning, "読み込みエラー", qs(log.message));
    }
    return std::move(log.records);
}

void AverageScreen::DSP_AVGTAI() {
    sora::DailyAverageView view =
        sora::build_daily_averages(*readLog(), m_ctx.state.axes, sora::AverageRowTexts::Later);
    m_periodItems->setItems(std::move(view.periodItems));
    cboStdate2->setEditText(qs(view.startText));
    cboEddate2->setEditText(qs(view.endText));
    render(std::move(view));
}

void AverageScreen::DSP_AVGTAI_KIKAN() {
    const std::string start = ss(cboStdate2->currentText().trimmed());
    const std::string end = ss(cboEddate2->currentText().trimmed());
    render(sora::build_daily_averages_period(*readLog(), m_ctx.state.axes, start, end, sora::AverageRowTexts::Later));
}

void AverageScreen::render(sora::DailyAverageView view) {
    msgAvgtai->beginFill();
    // The table's rows are written from the days' sums as the grid draws them.
    auto shown = std::make_shared<const sora::DailyAverageDays>(std::move(view.shownDays));
    const auto rows = static_cast<int>(shown->days.size());
    const auto columns = static_cast<int>(view.grid.columns.size());
    renderGrid(*msgAvgtai, view.grid.columns,
               std::make_unique<RowBuilderSource>(
                   rows, columns, [shown](std::size_t index) { return sora::daily_average_row(*shown, index); }),
               view.grid.topRow);
    msgAvgtai->endFill();

    std::array<QVector<double>, 3> series;
    for (QVector<double>& s : series) {
        s.reserve(static_cast<qsizetype>(view.chart.size()));
    }
    for (const sora::AverageChartRow& row : view.chart) {
        for (std::size_t s = 0; s < 3; ++s) {
            series[s].append(static_cast<double>(row[s]));
        }
    }
    sora::PressureSummary summary;
    for (const sora::AverageChartRow& row : view.chart) {
        summary.add(row[0], row[1]);
    }
    mcrAvgtai->setAccessibleDescription(qs(summary.text("日分")));
    mcrAvgtai->setRowCount(0);
    for (int s = 0; s < 3; ++s) {
        mcrAvgtai->setSeries(s, series[static_cast<std::size_t>(s)]);
    }
    mcrAvgtai->setRowCount(static_cast<int>(view.chart.size()));
    // A two-pixel line is stroked as a polygon, forty times slower than a one-pixel line; over years of days the
    // line zigzags through every pixel column and would take a second to draw.
    const bool dense = view.chart.size() > DenseChartRows;
    for (int s = 0; s < 3; ++s) {
        if (QCPAbstractPlottable* line = mcrAvgtai->plottable(s)) {
            QPen pen = line->pen();
            pen.setWidthF(dense ? 1.0 : 2.0);
            line->setPen(pen);
        }
    }
    applyAxis(*mcrAvgtai, ui::Axis::Primary, view.bpAxis);
    applyAxis(*mcrAvgtai, ui::Axis::Secondary, view.weightAxis);
    mcrAvgtai->redraw();

    if (!view.message.empty()) {
        m_ctx.host.dialogs().message(ui::Icon::Warning, "期間指定", qs(view.message));
    }
}

void AverageScreen::cmdKikanF2_Click() {
    DSP_AVGTAI_HEAD();
    DSP_AVGTAI_KIKAN();
}

std::vector<sora::DailyAverageCells> AverageScreen::shownRows() const {
    std::vector<sora::DailyAverageCells> rows;
    const int count = msgAvgtai->rowCount();
    rows.reserve(static_cast<std::size_t>(std::max(0, count - 1)));
    for (int r = 1; r < count; ++r) {
        sora::DailyAverageCells cells;
        for (int c = 1; c <= 5; ++c) {
            cells[static_cast<std::size_t>(c - 1)] = ss(msgAvgtai->text(r, c));
        }
        rows.push_back(std::move(cells));
    }
    return rows;
}

void AverageScreen::cmdAvgHozon_Click() {
    const sora::DailyAverageExport written = sora::export_daily_averages(m_ctx.dir, shownRows());
    if (written.nothingToExport) {
        m_ctx.host.dialogs().message(ui::Icon::Information,
                                     qs(std::string(sora::daily_average_texts::NothingToExportTitle)),
                                     qs(written.message));
        return;
    }
    if (!written) {
        m_ctx.host.dialogs().message(ui::Icon::Warning, "保存エラー", qs(written.message));
        return;
    }
    m_ctx.host.dialogs().message(ui::Icon::Information, qs(std::string(sora::daily_average_texts::SavedTitle)),
                                 qs(std::string(sora::daily_average_texts::SavedMessage)));
}
