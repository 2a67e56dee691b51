#pragma once

#include <QColor>
#include <QDate>
#include <QObject>
#include <QStringList>
#include <QWidget>
#include <array>
#include <memory>

#include "common/record_actions.h"
#include "common/screen_context.h"
#include "core/views/filter_listing.h"
#include "core/views/filter_periods.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class FilterExports;

namespace ui {
class Chart;
class Grid;
class TextListModel;
class Printer;
class SeriesModeOptions;
}  // namespace ui

/// The filtered data view in frame fraTaijyu: records of a period, weekday and situation keyword, listed in
/// msgBunseki, charted in mcrBunseki and printable.
class FilterScreen : public QObject {
    Q_OBJECT
public:
    FilterScreen(ScreenContext context, QWidget* parent);

    QWidget* frame() const { return m_frame; }
    /// The click of "範囲指定": lists every record and resets the criteria (nothing when already shown).
    void open();

    /// The situation list lstAct2.
    void setSituations(const QStringList& items);
    void appendSituation(const QString& item);
    QStringList situations() const;

    /// Lists every record and refills the period boxes with the log's dates.
    void DSP_TAIJYU();
    /// Runs the filtered listing that the keyword box and the selected weekday ask for.
    void DSP_TAIJYU_SEL();
    /// Gives the ten period buttons the button-face colour.
    void CLR_KIKAN();
    /// Runs the shown listing again on the log as it is now, criteria and scroll position kept.
    void refresh();

    /// 0–6 from Sunday, NoWeekday (99) when none is selected.
    int selectedWeekday() const { return m_weekday; }

    /// Sends printouts to a PDF file in the data directory even where a printer exists (tests, headless use).
    /// The environment variable SORANOTE_PRINT_TO_PDF=1 does the same.
    void setPrintToPdf(bool on) { m_printToPdf = on; }

    /// The report and CSV actions of the view (cmdReport, cmdCsvHozon).
    FilterExports* exports() const { return m_exports; }

    /// The explanation the help tour shows when the view opens.
    static QString helpText();
    /// The fill colour of a highlighted button.
    static QColor highlightColour();

private:
    void buildFrame();
    QWidget* buildControlColumn();
    QWidget* buildChartArea();

    void runListing(sora::FilterListing listing);
    void renderListing(std::shared_ptr<const std::vector<sora::MeasurementRecord>> records,
                       sora::FilterSelection selection);
    void showEmptyListing();
    void fillPeriodBoxes(std::vector<std::string> dates);
    sora::FilterCriteria criteria() const;
    sora::SecondaryQuantity secondaryQuantity() const;
    void applySeriesMode(int index);

    void setHighlighted(QPushButton* button, bool on);
    void periodButton_Click(int index);
    void cmdKikanF_Click();
    void cmdWeek_Click(int index);
    void cmdAllWeek_Click();
    void lstAct2_Click();
    void txtKey_Enter();
    void cmdAllact_Click();
    void cmdKensaku_Click();
    void cmdPriData_Click();
    void printPage(ui::Printer& printer);
    QString printPdfPath() const;

    bool eventFilter(QObject* watched, QEvent* event) override;

    ScreenContext m_ctx;
    QWidget* m_frame;
    int m_weekday = sora::NoWeekday;
    sora::FilterListing m_listing = sora::FilterListing::All;  // the listing shown
    ListedRecords m_listed;                                    // the records msgBunseki shows
    bool m_printToPdf = false;

    ui::Grid* msgBunseki = nullptr;
    ui::Chart* mcrBunseki = nullptr;
    ui::SeriesModeOptions* m_modes = nullptr;  // optTai2, optShi2, optKon2, optTai4, optKon4
    QListWidget* lstAct2 = nullptr;
    QLineEdit* txtKey = nullptr;
    QPushButton* cmdAllact = nullptr;
    QPushButton* cmdKensaku = nullptr;
    std::array<QPushButton*, 7> cmdWeek{};
    QPushButton* cmdAllWeek = nullptr;
    std::array<QPushButton*, 9> m_periodButtons{};  // in the order of sora::period_buttons()
    QPushButton* cmdKikanF = nullptr;
    QComboBox* cboStdate = nullptr;
    QComboBox* cboEddate = nullptr;
    ui::TextListModel* m_periodDates = nullptr;  // the dates both period boxes list
    QPushButton* cmdPriData = nullptr;
    QPushButton* cmdReport = nullptr;
    QPushButton* cmdCsvHozon = nullptr;
    FilterExports* m_exports = nullptr;
    // The listing on screen, so that CSV保存 writes exactly the records shown.
    sora::FilterListing m_shownListing = sora::FilterListing::All;
    sora::FilterCriteria m_shownCriteria;
};
