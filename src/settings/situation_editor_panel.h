#pragma once

#include <QObject>
#include <QPalette>
#include <QString>
#include <QStringList>

#include "common/screen_context.h"

class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;

/// The frame "状況リスト編集" of the settings screen: lstKoumoku with drag to reorder, add, save order, delete,
/// delete all and renaming a situation throughout the log.
class SituationEditorPanel : public QObject {
    Q_OBJECT
public:
    SituationEditorPanel(ScreenContext context, QWidget* parent);

    QWidget* widget() const;

    void setItems(const QStringList& items);
    void appendItem(const QString& item);
    QStringList items() const;

    /// Disables cmdSort, cmdDel and cmdChg until an item is clicked (each opening of the screen).
    void prepareForOpening();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void itemPressed();
    void dropAt(int to);
    void setReminder(bool on);

    void cmdNew2_Click();
    void cmdSort_Click();
    void cmdDel_Click();
    void cmdDel2_Click();
    void cmdChg_Click();

    ScreenContext m_ctx;
    QGroupBox* m_box;
    QListWidget* lstKoumoku;
    QPushButton* cmdNew2;
    QPushButton* cmdSort;
    QPushButton* cmdDel;
    QPushButton* cmdDel2;
    QLineEdit* txtChg;
    QPushButton* cmdChg;
    QPalette m_normalSortPalette;

    // Drag state between mouse down and mouse up.
    int m_dragFrom = -1;
    QString m_dragText;
};
