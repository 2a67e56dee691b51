#pragma once

#include <QDialog>
#include <QStringList>
#include <optional>
#include <string>

#include "core/import/import_file.h"
#include "core/import/import_preview.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class ImportMappingPanel;
class ImportRowsModel;

/// The preview of an import (frmImport): the file and its kind, the counts, every row with its status, the
/// situation rules, the mapping step for a CSV of unknown layout, and 取り込む / キャンセル. It writes nothing: the
/// caller rebuilds the preview when the choices change and writes on importRequested.
class ImportWindow : public QDialog {
    Q_OBJECT
public:
    ImportWindow(const QStringList& situations, QWidget* parent);

    /// Shows how the file was read (and the mapping step for a CSV of unknown layout).
    void showFile(const sora::ImportFile& file);
    /// Shows the classified rows and their counts; questionable rows come unticked.
    void showPreview(sora::ImportPreview preview);
    /// Puts rules into the rule boxes without asking for a new preview.
    void showRules(const sora::SituationRules& rules);

    /// The rules as typed; nullopt with the problem shown when a time or situation does not do.
    std::optional<sora::SituationRules> rules();
    /// The one situation for the whole file when that box is ticked.
    std::optional<std::string> wholeFileSituation() const;
    /// The encoding, separator and mapping the user chose for a CSV of unknown layout.
    sora::ImportOptions readOptions() const;
    /// The rows as ticked now.
    const sora::ImportPreview& preview() const;

signals:
    /// A rule or the whole-file situation changed: the rows get their situations anew.
    void choicesChanged();
    /// The encoding, the separator or the mapping changed: the file is read anew.
    void readOptionsChanged();
    void importRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* makeRulesBox();
    void updateCounts();

    QLabel* lblImportFile;
    QLabel* lblImportCounts;
    QLabel* lblImportMessage;
    ImportMappingPanel* m_mapping;
    QLineEdit* txtImportMorningUntil;
    QComboBox* cboImportMorning;
    QLineEdit* txtImportEveningFrom;
    QComboBox* cboImportEvening;
    QComboBox* cboImportOther;
    QCheckBox* chkImportWhole;
    QComboBox* cboImportWhole;
    QTableView* grdImport;
    ImportRowsModel* m_model;
    QPushButton* cmdImportOk;
    QPushButton* cmdImportCancel;
};
