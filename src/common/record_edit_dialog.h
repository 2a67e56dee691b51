#pragma once

#include <QDialog>
#include <QStringList>
#include <array>

#include "core/edits/record_edit.h"
#include "core/rules/measurement_record.h"

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;

/// The correction of one record: its date, situation, four values and diary text in boxes. The 修正 button only
/// asks for the save (saveRequested); whoever saves closes the dialog or points it at the box to type again.
class RecordEditDialog : public QDialog {
    Q_OBJECT
public:
    RecordEditDialog(const sora::MeasurementRecord& record, const QStringList& situations, QWidget* parent);

    /// The boxes as typed.
    sora::RecordInput input() const;
    /// Puts the keyboard focus into a box, its text selected to be typed over.
    void focusBox(sora::RecordBox box);
    /// The same for a value box: 0 systolic, 1 diastolic, 2 pulse, 3 weight.
    void focusValueBox(int box);

signals:
    void saveRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    /// Enter in a box moves the keyboard to the next box, from the diary box to 修正, as in the entry panel.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// The boxes in the order Enter walks them.
    QList<QWidget*> boxes() const;

    QDateEdit* dtpRecordDate;
    QComboBox* cboRecordSituation;
    std::array<QLineEdit*, 4> m_values{};  // systolic, diastolic, pulse, weight
    sora::OptionalBoxes m_notMeasured{};   // values the record did not measure: their boxes start and may stay empty
    QLineEdit* txtRecordDiary;
    QPushButton* cmdRecordSave;
    QPushButton* cmdRecordCancel;
};
