#pragma once

#include <QDate>
#include <QLabel>
#include <QObject>
#include <QPushButton>
#include <QStringList>
#include <QWidget>
#include <array>

#include "common/record_actions.h"
#include "common/screen_context.h"
#include "core/views/day_page.h"

class ClassScale;
class EntryPanel;
class FaceImage;
class JudgementChartView;

namespace ui {
class Chart;
class Grid;
class MonthCalendar;
class SeriesModeOptions;
}  // namespace ui

/// The screen in frame fraMain: the diary page of the selected day with its entry panel.
class MainScreen : public QObject {
    Q_OBJECT
public:
    MainScreen(ScreenContext context, QWidget* parent);
    /// Where a measurement starts: the situation list gets the keyboard.
    void focusEntry();

    QWidget* frame() const { return m_frame; }
    /// The click of the screen's button: opens and fills the screen (nothing when it is shown already).
    void open();

    /// The situation list lstAct / lstAct2 / lstKoumoku of this screen.
    void setSituations(const QStringList& items);
    void appendSituation(const QString& item);
    QStringList situations() const;

    /// Rebuilds the day page for the selected date.
    void DSP_MAIN();
    /// DSP_MAIN after a change of the diary, the day list's current cell kept.
    void refresh();
    /// Sets the calendar mtvmain (and the selected date of the state).
    void setSelectedDate(const QDate& date);
    /// Disables the eight stepper buttons.
    void disableSteppers();
    /// Selects a series-mode option of mcrMain (0–4) as a click does.
    void selectSeriesMode(int index);
    /// Applies the marker mode held in the state to mcrMain.
    void applyMarkerMode();

private:
    void buildLayout();
    QWidget* buildJudgementBand();
    QWidget* buildChartArea();
    void render(const sora::DayPage& page);
    void showFace(sora::Face face);
    void applySeriesMode(int index);
    sora::SecondaryQuantity secondaryQuantity() const;
    void mtvmain_DateClick(const QDate& date);
    /// The day page of another date, the focus left where it is (the calendar, moved by the keyboard).
    void showDay(const QDate& date);
    void cmdHanteiGr_Click();
    void cmdSuiiGr_Click();
    void mcrMain_Click();

    ScreenContext m_ctx;
    QWidget* m_frame;

    ui::Grid* msgDayList = nullptr;
    ListedRecords m_listed;  // the records msgDayList shows
    std::array<std::array<QLabel*, 4>, 4> m_statistics{};
    QLabel* lblMHyouka = nullptr;
    FaceImage* imgwara = nullptr;
    FaceImage* imgniko = nullptr;
    FaceImage* imgkana = nullptr;
    FaceImage* imgNashi = nullptr;
    ClassScale* m_scale = nullptr;
    QWidget* fraWho = nullptr;
    JudgementChartView* m_judgementChart = nullptr;
    ui::Chart* mcrMain = nullptr;
    QPushButton* cmdHanteiGr = nullptr;
    QPushButton* cmdSuiiGr = nullptr;
    ui::SeriesModeOptions* m_seriesOptions = nullptr;
    ui::MonthCalendar* mtvmain = nullptr;
    EntryPanel* m_entry = nullptr;
};
