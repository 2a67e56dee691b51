#include "views/filter_screen.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <memory>

#include "common/render.h"
#include "core/files/measurement_log.h"
#include "ui/chart.h"
#include "ui/dialogs.h"
#include "ui/grid.h"
#include "ui/period_box.h"
#include "ui/series_mode_options.h"
#include "views/filter_grid_source.h"

namespace {

constexpr int WeightMixedMode = 4;  // optKon4

}  // namespace

FilterScreen::FilterScreen(ScreenContext context, QWidget* parent)
    : QObject(parent), m_ctx(context), m_frame(new QWidget(parent)) {
    m_frame->setObjectName("fraTaijyu");
    m_printToPdf = qEnvironmentVariableIntValue("SORANOTE_PRINT_TO_PDF") == 1;
    buildFrame();
}

QString FilterScreen::helpText() {
    return crlfLines({
        "これまで入力してきたデータを「状況」「曜日」「期間」指定で表示できます。",
        "",
        "「状況」をリストから選択すると、その「状況」のみのデータになります。",
        "　※状況欄に直接任意の語句を入力することができます。（入力後Enter）",
        "",
        "各種曜日ボタンで選択すると指定した曜日でのデータになります。",
        "",
        "「期間」をボタンで選択すると指定した期間でのデータになります。",
        "※期間のコンボリストで任意に指定することも可能です。",
        "",
        "　右下のプリンターアイコンで表示中のデータを印刷することができます。お医者さんへの提出に便利！",
    });
}

QColor FilterScreen::highlightColour() {
    return toQColor(sora::colours::Highlight);
}

void FilterScreen::open() {
    if (!m_frame->isHidden()) {
        return;
    }
    m_ctx.host.HIDE_FRAMES();
    CLR_KIKAN();
    DSP_TAIJYU();
    m_modes->select(WeightMixedMode);
    setHighlighted(m_periodButtons.back(), true);  // cmdAllDay
    setHighlighted(cmdAllact, true);
    setHighlighted(cmdAllWeek, true);
    for (QPushButton* button : cmdWeek) {
        setHighlighted(button, false);
    }
    m_weekday = sora::NoWeekday;
    txtKey->clear();
    m_frame->show();
    m_ctx.host.processEvents();
    m_ctx.host.setHelpText(helpText());
    m_ctx.host.DSP_HELP();
}

void FilterScreen::setSituations(const QStringList& items) {
    lstAct2->clear();
    lstAct2->addItems(items);
}

void FilterScreen::appendSituation(const QString& item) {
    lstAct2->addItem(item);
}

QStringList FilterScreen::situations() const {
    QStringList items;
    for (int i = 0; i < lstAct2->count(); ++i) {
        items << lstAct2->item(i)->text();
    }
    return items;
}

void FilterScreen::DSP_TAIJYU() {
    runListing(sora::FilterListing::All);
}

void FilterScreen::DSP_TAIJYU_SEL() {
    runListing(sora::select_listing(ss(txtKey->text()), m_weekday));
}

void FilterScreen::CLR_KIKAN() {
    for (QPushButton* button : m_periodButtons) {
        setHighlighted(button, false);
    }
    setHighlighted(cmdKikanF, false);
}

sora::FilterCriteria FilterScreen::criteria() const {
    return {ss(cboStdate->currentText()), ss(cboEddate->currentText()), ss(txtKey->text()), m_weekday};
}

sora::SecondaryQuantity FilterScreen::secondaryQuantity() const {
    const int selected = m_modes->selected();
    return selected < 0 ? sora::SecondaryQuantity::Weight : sora::secondary_quantity(seriesModeFromIndex(selected));
}

void FilterScreen::refresh() {
    const int topRow = msgBunseki->topRow();
    const int currentRow = msgBunseki->currentRow();
    const int currentColumn = msgBunseki->currentColumnIndex();
    runListing(m_listing);
    msgBunseki->setTopRow(topRow);
    msgBunseki->setCurrentCell(currentRow, currentColumn);
}

void FilterScreen::runListing(sora::FilterListing listing) {
    m_listing = listing;
    const sora::SharedLog log = m_ctx.log.read();
    if (!log.ok) {
        // Nothing from a partial read is shown; the user learns which file and line failed.
        showEmptyListing();
        if (listing == sora::FilterListing::All) {
            fillPeriodBoxes({});
        }
        m_ctx.host.dialogs().message(ui::Icon::Warning, "読み込みエラー", qs(log.message));
        return;
    }
    auto selection =
        sora::select_filter_records(*log.records, listing, criteria(), m_ctx.state.axes, secondaryQuantity());
    m_shownListing = listing;
    m_shownCriteria = criteria();
    m_ctx.state.extremes = selection.extremes;
    if (listing == sora::FilterListing::All) {
        fillPeriodBoxes(std::move(selection.periodDates));
    }
    m_listed = ListedRecords{selection.listed, selection.listed.size(), log.stamp};
    renderListing(log.records, std::move(selection));
}

void FilterScreen::showEmptyListing() {
    auto selection =
        sora::select_filter_records({}, sora::FilterListing::All, {}, m_ctx.state.axes, secondaryQuantity());
    m_ctx.state.extremes = selection.extremes;
    m_listed = ListedRecords{};
    renderListing(std::make_shared<const std::vector<sora::MeasurementRecord>>(), std::move(selection));
}

void FilterScreen::renderListing(std::shared_ptr<const std::vector<sora::MeasurementRecord>> records,
                                 sora::FilterSelection selection) {
    renderChartRows(*mcrBunseki, selection.chartRows);
    applyAxis(*mcrBunseki, ui::Axis::Primary, selection.primary);
    applyAxis(*mcrBunseki, ui::Axis::Secondary, selection.secondary);
    mcrBunseki->redraw();

    const int topRow = selection.topRow.value_or(1);  // a short list starts at the top, wherever the last one was
    selection.chartRows = {};
    selection.periodDates = {};
    msgBunseki->beginFill();
    // The heading row and widths stay from the frame's build; a new source replaces only the records.
    msgBunseki->setDataSource(std::make_unique<FilterGridSource>(std::move(records), std::move(selection)));
    msgBunseki->setTopRow(topRow);
    msgBunseki->endFill();
}

void FilterScreen::fillPeriodBoxes(std::vector<std::string> dates) {
    // Both boxes list the same dates: one model, filled in one step.
    const int count = static_cast<int>(dates.size());
    m_periodDates->setItems(std::move(dates));
    if (count == 0) {
        cboStdate->setEditText(QString());
        cboEddate->setEditText(QString());
        return;
    }
    cboStdate->setCurrentIndex(0);
    cboEddate->setCurrentIndex(count - 1);
}

void FilterScreen::applySeriesMode(int index) {
    const sora::SeriesMode mode = seriesModeFromIndex(index);
    const auto quantity = sora::secondary_quantity(mode);
    applyAxis(*mcrBunseki, ui::Axis::Secondary,
              sora::filter_secondary_axis(m_ctx.state.axes, quantity, m_ctx.state.extremes));
    applySeriesVisibility(*mcrBunseki, mode);
    mcrBunseki->redraw();
}

void FilterScreen::setHighlighted(QPushButton* button, bool on) {
    // A new palette makes the style draw the button's face anew (its cached faces are keyed by palette).
    if (button->property("highlighted").toBool() == on) {
        return;
    }
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, on ? highlightColour() : QApplication::palette(button).color(QPalette::Button));
    button->setPalette(palette);
    button->setProperty("highlighted", on);
}

// The listings below redraw the frame in place; hiding and showing every screen around them is not needed
// because the grid and chart are filled in one call each.

void FilterScreen::periodButton_Click(int index) {
    CLR_KIKAN();
    const auto period = sora::period_for(sora::period_buttons()[index], m_ctx.clock.today(), m_ctx.state.startDate);
    cboStdate->setEditText(qs(period.start));
    cboEddate->setEditText(qs(period.end));
    DSP_TAIJYU_SEL();
    setHighlighted(m_periodButtons[index], true);
}

void FilterScreen::cmdKikanF_Click() {
    CLR_KIKAN();
    DSP_TAIJYU_SEL();
    setHighlighted(cmdKikanF, true);
}

void FilterScreen::cmdWeek_Click(int index) {
    setHighlighted(cmdAllWeek, false);
    for (QPushButton* button : cmdWeek) {
        setHighlighted(button, false);
    }
    m_weekday = index;
    DSP_TAIJYU_SEL();
    setHighlighted(cmdWeek[index], true);
}

void FilterScreen::cmdAllWeek_Click() {
    for (QPushButton* button : cmdWeek) {
        setHighlighted(button, false);
    }
    m_weekday = sora::NoWeekday;
    DSP_TAIJYU_SEL();
    setHighlighted(cmdAllWeek, true);
}

void FilterScreen::lstAct2_Click() {
    const QListWidgetItem* item = lstAct2->currentItem();
    txtKey->setText(item ? item->text() : QString());
    setHighlighted(cmdAllact, false);
    DSP_TAIJYU_SEL();
}

void FilterScreen::txtKey_Enter() {
    setHighlighted(cmdAllact, false);
    DSP_TAIJYU_SEL();
}

void FilterScreen::cmdAllact_Click() {
    txtKey->clear();
    DSP_TAIJYU_SEL();
    setHighlighted(cmdAllact, true);
}

void FilterScreen::cmdKensaku_Click() {
    runListing(sora::FilterListing::Keyword);
}

bool FilterScreen::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lstAct2 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && lstAct2->currentItem() != nullptr) {
            lstAct2_Click();
            return true;
        }
    }
    if (watched == txtKey && event->type() == QEvent::FocusIn) {
        // A new keyword every time the user comes to the box; not when the window merely gets active again.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            txtKey->clear();
        }
    }
    return QObject::eventFilter(watched, event);
}
