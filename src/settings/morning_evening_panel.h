#pragma once

#include <QObject>
#include <QStringList>
#include <vector>

#include "common/screen_context.h"
#include "core/rules/morning_evening.h"

class OccasionTableModel;
class QComboBox;
class QTableView;
class QLineEdit;
class QPushButton;
class QGroupBox;
class QWidget;

/// The frame fraAsaBan of the settings screen: for the home blood-pressure report, whether each situation counts
/// as 朝, 晩 or 対象外 (the table tblAsaBan, one row per situation in list order) and the target of home blood pressure
/// (cboMokuhyou: the guideline's, or the doctor's two numbers in txtMokuhyouMax / txtMokuhyouMin, taken by cmdMokuhyou
/// or Enter). Every change is written to "朝晩設定.txt" at once.
class MorningEveningPanel : public QObject {
    Q_OBJECT
public:
    MorningEveningPanel(ScreenContext context, QWidget* parent);

    QWidget* widget() const;

    /// Reads "朝晩設定.txt" and shows it (the defaults when it is missing; a malformed file is reported once and not
    /// written over without asking).
    void load();
    /// One choice per situation, in list order, showing the occasion each has now (the file is read again).
    void setSituations(const QStringList& situations);

private:
    void occasionChosen(int row, sora::Occasion occasion);
    void targetChosen(int index);
    /// Checks and writes the doctor's target as typed; a refusal names the box and returns the keyboard to it.
    void saveDoctorTarget();
    /// Shows the stored target: the choice, the numbers, and the boxes enabled only for the doctor's target.
    void showTarget();
    /// Writes the settings; false (the user has been told) when they are not in the file.
    bool save(const sora::MorningEveningSettings& settings);

    ScreenContext m_ctx;
    QGroupBox* m_box;
    QComboBox* cboMokuhyou;
    QLineEdit* txtMokuhyouMax;
    QLineEdit* txtMokuhyouMin;
    QPushButton* cmdMokuhyou;
    QTableView* tblAsaBan;
    OccasionTableModel* m_occasions;
    QStringList m_situations;
    sora::MorningEveningSettings m_settings;
    bool m_reportedUnreadable = false;
};
