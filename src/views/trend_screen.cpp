#include "views/trend_screen.h"

#include <QGridLayout>
#include <QLabel>
#include <QVector>

#include "common/render.h"
#include "core/files/measurement_log.h"
#include "core/views/spoken_text.h"
#include "core/views/trend_view.h"
#include "ui/chart.h"
#include "ui/dialogs.h"
#include "ui/series_mode_options.h"

namespace {
constexpr int WeightMixedIndex = 4;
}  // namespace

TrendScreen::TrendScreen(ScreenContext context, QWidget* parent)
    : QObject(parent), m_ctx(context), m_frame(new QWidget(parent)) {
    m_frame->setObjectName("fraRenTai");

    mcrRentai = new ui::Chart(4, m_frame);
    mcrRentai->setObjectName("mcrRentai");
    mcrRentai->setAccessibleName("全期間の推移グラフ");
    mcrRentai->setMinimumSize(400, 250);
    styleTrendChart(*mcrRentai);

    m_modes =
        new ui::SeriesModeOptions({"optTai1", "optShi1", "optKon1", "optTai3", "optKon3"},
                                  {"血圧 （mmHg）", "脈拍 （拍/分）", "脈拍混合", "体重 （Kg）", "体重混合"}, m_frame);
    connect(m_modes, &ui::SeriesModeOptions::modeChosen, this, &TrendScreen::applySeriesMode);

    lblNichis = new QLabel(m_frame);
    lblNichis->setObjectName("lblNichis");
    lblKiro = new QLabel(m_frame);
    lblKiro->setObjectName("lblKiro");
    for (QLabel* label : {lblNichis, lblKiro}) {
        QFont font = label->font();
        font.setPointSize(font.pointSize() + 2);
        label->setFont(font);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }

    auto* layout = new QGridLayout(m_frame);
    layout->addWidget(mcrRentai, 0, 0);
    layout->addWidget(m_modes, 0, 1, Qt::AlignTop);
    layout->addWidget(lblNichis, 1, 0, 1, 2);
    layout->addWidget(lblKiro, 2, 0, 1, 2);
    layout->setColumnStretch(0, 1);
    layout->setRowStretch(0, 1);
}

void TrendScreen::open() {
    if (!m_frame->isHidden()) {
        return;
    }
    // Filled with the mode chosen before; switching to weight mixed rescales the secondary axis for weight.
    m_deferRedraw = true;
    fill();
    m_modes->select(WeightMixedIndex);
    m_deferRedraw = false;
    mcrRentai->redraw();
    m_ctx.host.HIDE_FRAMES();
    m_frame->show();
    m_ctx.host.processEvents();
    m_ctx.host.setHelpText(qs(sora::trend_help_text()));
    m_ctx.host.DSP_HELP();
}

void TrendScreen::DSP_RENTAI() {
    fill();
    mcrRentai->redraw();
}

void TrendScreen::fill() {
    const sora::SharedLog log = m_ctx.log.read();
    if (!log.ok) {
        m_ctx.host.dialogs().message(ui::Icon::Warning, "全グラフ", qs(log.message));
    }
    const int selected = m_modes->selected();
    const sora::SeriesMode mode = selected >= 0 ? seriesModeFromIndex(selected) : seriesModeFromIndex(WeightMixedIndex);
    const sora::TrendView view = sora::build_trend_view(*log.records, m_ctx.state.axes, mode);
    m_ctx.state.extremes = view.extremes;

    mcrRentai->setRowCount(static_cast<int>(view.pointCount()));
    for (int s = 0; s < 4; ++s) {
        const std::vector<double>& values = view.series[static_cast<std::size_t>(s)];
        mcrRentai->setSeries(s, QVector<double>(values.begin(), values.end()));
    }
    sora::PressureSummary summary;
    for (std::size_t i = 0; i < view.series[0].size() && i < view.series[1].size(); ++i) {
        summary.add(view.series[0][i], view.series[1][i]);
    }
    mcrRentai->setAccessibleDescription(qs(summary.text()));
    applyAxis(*mcrRentai, ui::Axis::Primary, view.primary);
    applyAxis(*mcrRentai, ui::Axis::Secondary, view.secondary);
    lblNichis->setText(qs(view.startLine));
    lblKiro->setText(qs(view.currentLine));
}

void TrendScreen::applySeriesMode(int index) {
    const sora::SeriesMode mode = seriesModeFromIndex(index);
    // The blood-pressure mode hides the secondary axis, so its scale is left as it is.
    if (mode != sora::SeriesMode::BloodPressure) {
        applyAxis(*mcrRentai, ui::Axis::Secondary,
                  sora::trend_secondary_axis(m_ctx.state.axes, sora::secondary_quantity(mode), m_ctx.state.extremes));
    }
    applySeriesVisibility(*mcrRentai, mode);
    if (!m_deferRedraw) {
        mcrRentai->redraw();
    }
}
