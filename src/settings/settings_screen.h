#pragma once

#include <QDate>
#include <QObject>
#include <QStringList>
#include <QWidget>

#include "common/screen_context.h"
#include "core/text_size.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class SituationEditorPanel;
class GraphSettingsPanel;
class MorningEveningPanel;
class NewStartForm;
class DiaryImport;

/// The screen in frame fraSettei: situation list editor, graph Y-axis settings, the user's name, the
/// automatic time of the one-line diary and the new-start wizard.
class SettingsScreen : public QObject {
    Q_OBJECT
public:
    SettingsScreen(ScreenContext context, QWidget* parent);

    QWidget* frame() const { return m_frame; }
    /// The click of the screen's button: opens and fills the screen (nothing when it is shown already).
    void open();

    /// The situation list lstKoumoku of this screen.
    void setSituations(const QStringList& items);
    void appendSituation(const QString& item);
    QStringList situations() const;

    /// Ticks chkJikan without writing the file (start-up).
    void setAutoTimeChecked(bool on);
    /// Shows the graph settings held in the state in the option buttons and nine boxes.
    void showGraphSettings();
    /// Opens the new-start wizard fraNew as cmdNew1 does (also used for its screenshot).
    void showNewStartForm();
    /// Shows the size in cboMojiSize without choosing it again.
    void showTextSize(sora::TextSize size);

signals:
    /// The user picked a size in cboMojiSize.
    void textSizeChosen(sora::TextSize size);

private:
    void cmdPHozon1_Click();
    void chkJikan_Click(bool on);
    QWidget* makePrivateFrame(QWidget* parent);
    QLayout* makeTextSizeRow(QWidget* parent);

    ScreenContext m_ctx;
    QWidget* m_frame;
    SituationEditorPanel* m_editor;
    GraphSettingsPanel* m_graph;
    NewStartForm* m_newStart;
    MorningEveningPanel* m_asaBan;
    QLineEdit* txtPriData;
    QPushButton* cmdPHozon1;
    QCheckBox* chkJikan;
    QComboBox* cboMojiSize;
    QPushButton* cmdNew1;
    QPushButton* cmdBackupRestore;
    QPushButton* cmdImport;
    DiaryImport* m_import;
};
