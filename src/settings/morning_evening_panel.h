#pragma once

#include <QObject>
#include <QStringList>
#include <vector>

#include "common/screen_context.h"
#include "core/rules/morning_evening.h"

class QComboBox;
class QFormLayout;
class QGroupBox;
class QWidget;

/// The frame fraAsaBan of the settings screen: for the home blood-pressure report, whether each situation counts
/// as 朝, 晩 or なし (cboAsaBan0, cboAsaBan1, … in list order) and the age group of the target (cboNenrei). Every
/// change is written to "朝晩設定.txt" at once.
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
    void occasionChosen(int row, int index);
    void ageGroupChosen(int index);
    /// Writes the settings; false (the user has been told) when they are not in the file.
    bool save(const sora::MorningEveningSettings& settings);

    ScreenContext m_ctx;
    QGroupBox* m_box;
    QComboBox* cboNenrei;
    QFormLayout* m_situationRows;
    std::vector<QComboBox*> cboAsaBan;
    QStringList m_situations;
    sora::MorningEveningSettings m_settings;
    bool m_reportedUnreadable = false;
};
