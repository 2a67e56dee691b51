#pragma once

#include <QObject>

#include "common/screen_context.h"

class QGroupBox;
class QLineEdit;
class QPushButton;

/// The new-start wizard fraNew ("新規スタート登録枠"): name and starting values, then a fresh diary and the
/// end of the program. While it is shown it covers `covered` (the rest of the settings beside the list).
class NewStartForm : public QObject {
    Q_OBJECT
public:
    NewStartForm(ScreenContext context, QWidget* parent, QWidget* covered);

    QWidget* widget() const;

    /// The click of cmdNew1: empties the name and value boxes, shows the frame and the guidance message.
    void open();

private:
    void cmdStHozon_Click();
    void cmdYame_Click();
    QLineEdit* makeBox(const char* name);

    ScreenContext m_ctx;
    QWidget* m_covered;
    QGroupBox* fraNew;
    QLineEdit* txtPriData1;
    QLineEdit* txtSincyou1;
    QLineEdit* txtMokuTai1;
    QLineEdit* txtNowTai;
    QLineEdit* txtNowTai2;
    QLineEdit* txtNowJyou;
    QPushButton* cmdStHozon;
    QPushButton* cmdYame;
};
