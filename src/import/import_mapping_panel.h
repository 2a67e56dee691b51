#pragma once

#include <QGroupBox>
#include <vector>

#include "core/import/import_file.h"

class QCheckBox;
class QComboBox;
class QTableWidget;

/// The mapping step of a CSV of unknown layout: the encoding and the separator (as detected, changeable), whether
/// the first line names the columns, the order of numeric dates, and a role box over each column above the first
/// lines of the file.
class ImportMappingPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit ImportMappingPanel(QWidget* parent);

    /// Shows how the file was read; the roles offered are the file's columns.
    void showFile(const sora::ImportFile& file);
    /// The reading the user has chosen: encoding, separator and mapping.
    sora::ImportOptions options() const;

signals:
    /// The user changed the encoding or the separator (the file is split again) or a role (read again).
    void optionsChanged();

private:
    void mappingChanged();

    QComboBox* cboImportEncoding;
    QComboBox* cboImportSeparator;
    QCheckBox* chkImportHeading;
    QComboBox* cboImportDateOrder;
    QTableWidget* grdImportMapping;
    std::vector<QComboBox*> m_roles;
    bool m_filling = false;
    bool m_mappingChosen = false;    ///< the user set a role or the heading: read by them, not by a new guess
    bool m_dateOrderChosen = false;  ///< the user set the date order: not detected again
};
