#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPushButton;

/// A side file and a sync tool's conflict copy of it, side by side, to choose which one the diary keeps
/// (frmConflict). Accepted with `keepCopy()` telling the choice; rejected: neither is changed.
class SideFileChoice : public QDialog {
    Q_OBJECT
public:
    SideFileChoice(const QString& fileName, const QString& ours, const QString& copyName, const QString& theirs,
                   QWidget* parent);

    /// True when the copy was chosen, false when this PC's file was.
    bool keepCopy() const { return m_keepCopy; }

private:
    bool m_keepCopy = false;
    QPlainTextEdit* txtConflictOurs;
    QPlainTextEdit* txtConflictCopy;
    QPushButton* cmdKeepOurs;
    QPushButton* cmdKeepCopy;
    QPushButton* cmdConflictLater;
};
