#pragma once

#include <QObject>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <vector>

#include "common/screen_context.h"
#include "core/views/daily_averages.h"

class QComboBox;
class QPushButton;

namespace ui {
class Chart;
class Grid;
class TextListModel;
}  // namespace ui

/// The daily averages in frame fraAvgTai: one row per calendar day in msgAvgtai, charted in mcrAvgtai, with a
/// period choice, export to "日毎平均.txt" and a printout.
class AverageScreen : public QObject {
    Q_OBJECT
public:
    AverageScreen(ScreenContext context, QWidget* parent);

    QWidget* frame() const { return m_frame; }
    /// The click of "日平均": computes over the whole log and shows the screen (nothing when it is shown already).
    void open();

    /// Resets the table to its heading row.
    void DSP_AVGTAI_HEAD();
    /// Every day of the log; refills the period boxes.
    void DSP_AVGTAI();
    /// Only the days of the period the two boxes give.
    void DSP_AVGTAI_KIKAN();

    /// Sends printouts to a PDF file in the data directory even where a printer exists (tests, headless use).
    /// The environment variable SORANOTE_PRINT_TO_PDF=1 does the same.
    void setPrintToPdf(bool on) { m_printToPdf = on; }
    /// Where a printout goes when it is written as a PDF file.
    QString pdfPath() const;

private:
    void buildFrame();
    std::shared_ptr<const std::vector<sora::MeasurementRecord>> readLog();
    void render(sora::DailyAverageView view);
    /// Columns 1–5 of every row of the table as shown.
    std::vector<sora::DailyAverageCells> shownRows() const;

    void cmdKikanF2_Click();
    void cmdAvgHozon_Click();
    void cmdAvgPri_Click();
    bool printPage(QString& error, bool& toPdf);

    ScreenContext m_ctx;
    QWidget* m_frame;
    bool m_printToPdf = false;
    ui::TextListModel* m_periodItems = nullptr;

    ui::Grid* msgAvgtai = nullptr;
    ui::Chart* mcrAvgtai = nullptr;
    QComboBox* cboStdate2 = nullptr;
    QComboBox* cboEddate2 = nullptr;
    QPushButton* cmdKikanF2 = nullptr;
    QPushButton* cmdAvgHozon = nullptr;
    QPushButton* cmdAvgPri = nullptr;
};
