#include "import/import_mapping_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSignalBlocker>
#include <QTableWidget>

#include "common/render.h"

namespace {

constexpr sora::TextEncoding Encodings[] = {sora::TextEncoding::Utf8, sora::TextEncoding::Utf8Bom,
                                            sora::TextEncoding::Cp932, sora::TextEncoding::Utf16Le,
                                            sora::TextEncoding::Utf16Be};
constexpr char Separators[] = {',', ';', '\t'};
const char* const SeparatorNames[] = {"カンマ（,）", "セミコロン（;）", "タブ"};

}  // namespace

ImportMappingPanel::ImportMappingPanel(QWidget* parent) : QGroupBox("列の割り当て", parent) {
    setObjectName("grpImportMapping");
    cboImportEncoding = new QComboBox(this);
    cboImportEncoding->setObjectName("cboImportEncoding");
    for (const sora::TextEncoding encoding : Encodings) {
        cboImportEncoding->addItem(sora::encoding_name(encoding));
    }
    cboImportSeparator = new QComboBox(this);
    cboImportSeparator->setObjectName("cboImportSeparator");
    for (const char* name : SeparatorNames) {
        cboImportSeparator->addItem(name);
    }
    chkImportHeading = new QCheckBox("1行目は見出し", this);
    chkImportHeading->setObjectName("chkImportHeading");
    cboImportDateOrder = new QComboBox(this);
    cboImportDateOrder->setObjectName("cboImportDateOrder");
    cboImportDateOrder->addItem("（選んでください）");
    for (const sora::DateOrder order : sora::AllDateOrders) {
        cboImportDateOrder->addItem(sora::date_order_name(order));
    }
    cboImportEncoding->setAccessibleName("文字コード");
    cboImportSeparator->setAccessibleName("区切り");
    cboImportDateOrder->setAccessibleName("日付の順");
    grdImportMapping = new QTableWidget(this);
    grdImportMapping->setObjectName("grdImportMapping");
    grdImportMapping->setAccessibleName("列の割り当て");
    cboImportEncoding->setAccessibleName("文字コード");
    cboImportSeparator->setAccessibleName("区切り");
    grdImportMapping->verticalHeader()->hide();
    grdImportMapping->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdImportMapping->setMinimumHeight(150);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel("文字コード", this), 0, 0);
    layout->addWidget(cboImportEncoding, 0, 1);
    layout->addWidget(new QLabel("区切り", this), 0, 2);
    layout->addWidget(cboImportSeparator, 0, 3);
    layout->addWidget(chkImportHeading, 0, 4);
    layout->addWidget(new QLabel("日付の順", this), 0, 5);
    layout->addWidget(cboImportDateOrder, 0, 6);
    layout->setColumnStretch(7, 1);
    layout->addWidget(grdImportMapping, 1, 0, 1, 8);

    // Another encoding or separator splits the file anew: its columns are guessed again.
    const auto resplit = [this] {
        if (!m_filling) {
            m_mappingChosen = false;
            emit optionsChanged();
        }
    };
    connect(cboImportEncoding, &QComboBox::currentIndexChanged, this, resplit);
    connect(cboImportSeparator, &QComboBox::currentIndexChanged, this, resplit);
    connect(chkImportHeading, &QCheckBox::toggled, this, [this] { mappingChanged(); });
    connect(cboImportDateOrder, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_filling) {
            m_dateOrderChosen = cboImportDateOrder->currentIndex() > 0;
            emit optionsChanged();
        }
    });
}

void ImportMappingPanel::showFile(const sora::ImportFile& file) {
    m_filling = true;
    for (std::size_t i = 0; i < std::size(Encodings); ++i) {
        if (Encodings[i] == file.encoding) {
            cboImportEncoding->setCurrentIndex(static_cast<int>(i));
        }
    }
    for (std::size_t i = 0; i < std::size(Separators); ++i) {
        if (Separators[i] == file.separator) {
            cboImportSeparator->setCurrentIndex(static_cast<int>(i));
        }
    }
    chkImportHeading->setChecked(file.mapping.hasHeading);
    // Not guessed when it cannot be told: the box then asks for a choice.
    cboImportDateOrder->setCurrentIndex(file.dateOrder ? static_cast<int>(*file.dateOrder) + 1 : 0);
    std::size_t columns = file.mapping.roles.size();
    for (const sora::CsvRecord& record : file.firstRecords) {
        columns = std::max(columns, record.fields.size());
    }
    // A file split into hundreds of columns by the wrong separator still shows: the first 40 are enough to see it.
    columns = std::min<std::size_t>(columns, 40);
    // The rows first: a role box is set on row 0, which must exist (a box set on no row is dropped, and the table
    // keeps only the last one).
    grdImportMapping->setRowCount(static_cast<int>(file.firstRecords.size()) + 1);
    // The role boxes stay while the columns do: the user is choosing in one of them.
    if (m_roles.size() != columns) {
        grdImportMapping->clear();
        grdImportMapping->setColumnCount(static_cast<int>(columns));
        m_roles.clear();
        for (std::size_t c = 0; c < columns; ++c) {
            auto* role = new QComboBox(grdImportMapping);
            role->setObjectName(QString("cboImportRole%1").arg(c));
            role->setAccessibleName(QString("%1列目の割り当て").arg(c + 1));
            for (const sora::ColumnRole r : sora::AllColumnRoles) {
                role->addItem(sora::column_role_name(r));
            }
            role->setAccessibleName(QString("%1 列目の役割").arg(c + 1));
            connect(role, &QComboBox::currentIndexChanged, this, [this] { mappingChanged(); });
            grdImportMapping->setCellWidget(0, static_cast<int>(c), role);
            m_roles.push_back(role);
            grdImportMapping->setHorizontalHeaderItem(static_cast<int>(c),
                                                      new QTableWidgetItem(QString::number(c + 1)));
        }
    }
    for (std::size_t c = 0; c < columns; ++c) {
        m_roles[c]->setCurrentIndex(c < file.mapping.roles.size() ? static_cast<int>(file.mapping.roles[c]) : 0);
    }
    for (std::size_t r = 0; r < file.firstRecords.size(); ++r) {
        const std::vector<std::string>& fields = file.firstRecords[r].fields;
        for (std::size_t c = 0; c < columns; ++c) {
            // Cut as characters: a cut inside a UTF-8 sequence would show a broken one.
            QString shown = c < fields.size() ? qs(fields[c]) : QString();
            if (shown.size() > 60) {
                shown = shown.left(60) + "…";
            }
            grdImportMapping->setItem(static_cast<int>(r) + 1, static_cast<int>(c), new QTableWidgetItem(shown));
        }
    }
    m_filling = false;
}

sora::ImportOptions ImportMappingPanel::options() const {
    sora::ImportOptions options;
    options.encoding = Encodings[std::max(0, cboImportEncoding->currentIndex())];
    options.separator = Separators[std::max(0, cboImportSeparator->currentIndex())];
    sora::CsvMapping mapping;
    mapping.hasHeading = chkImportHeading->isChecked();
    for (const QComboBox* role : m_roles) {
        mapping.roles.push_back(sora::AllColumnRoles[std::max(0, role->currentIndex())]);
    }
    if (m_mappingChosen) {
        options.mapping = std::move(mapping);
    }
    if (m_dateOrderChosen) {
        options.dateOrder = sora::AllDateOrders[cboImportDateOrder->currentIndex() - 1];
    }
    return options;
}

void ImportMappingPanel::mappingChanged() {
    if (!m_filling) {
        m_mappingChosen = true;
        emit optionsChanged();
    }
}
