#include "settings/occasion_table.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QTimer>

namespace {

constexpr sora::Occasion kOccasions[] = {sora::Occasion::Morning, sora::Occasion::Evening, sora::Occasion::Neither};

/// The editor: remembers whether the user chose, and says when its list closed without a choice.
class OccasionBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    bool chosen = false;
    bool closed = false;

    void hidePopup() override {
        QComboBox::hidePopup();
        // A click or Enter in the list hides it before it reports the choice: look once the choice had its turn.
        QTimer::singleShot(0, this, [this] {
            if (!chosen && !closed) {
                emit closedUnchosen();
            }
        });
    }

signals:
    void closedUnchosen();
};

}  // namespace

const QStringList& OccasionTableModel::choices() {
    static const QStringList captions = {QStringLiteral("朝"), QStringLiteral("晩"), QStringLiteral("対象外")};
    return captions;
}

void OccasionTableModel::setRows(const QStringList& situations, const std::vector<sora::Occasion>& occasions) {
    beginResetModel();
    m_situations = situations;
    m_occasions = occasions;
    endResetModel();
}

int OccasionTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_situations.size());
}

int OccasionTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant OccasionTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return {};
    }
    if (index.column() == 0) {
        return m_situations[index.row()];
    }
    for (int i = 0; i < 3; ++i) {
        if (kOccasions[i] == occasion(index.row())) {
            return choices()[i];
        }
    }
    return {};
}

QVariant OccasionTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    return section == 0 ? QStringLiteral("状況") : QStringLiteral("数え方");
}

Qt::ItemFlags OccasionTableModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    return index.column() == 1 ? flags | Qt::ItemIsEditable : flags;
}

bool OccasionTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const int choice = choices().indexOf(value.toString());
    if (!index.isValid() || index.column() != 1 || role != Qt::EditRole || choice < 0) {
        return false;
    }
    if (kOccasions[choice] == occasion(index.row())) {
        return true;  // the same choice again changes nothing, so nothing is written
    }
    emit occasionChosen(index.row(), kOccasions[choice]);
    return true;
}

void OccasionTableModel::setOccasion(int row, sora::Occasion occasion) {
    m_occasions[static_cast<std::size_t>(row)] = occasion;
    emit dataChanged(index(row, 1), index(row, 1));
}

QWidget* OccasionDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const {
    auto* box = new OccasionBox(parent);
    box->setObjectName("cboAsaBan");
    box->addItems(OccasionTableModel::choices());
    // A choice is taken at once, as a box of its own would take it.
    connect(box, &QComboBox::activated, this, &OccasionDelegate::commitAndClose);
    connect(box, &OccasionBox::closedUnchosen, this, &OccasionDelegate::closeUnchosen);
    // The list opens with the editor, so arrows and Enter choose in it and Escape leaves the cell as it was; a
    // closed box would take every arrow as a choice.
    QTimer::singleShot(0, box, [box] {
        if (box->isVisible() && !box->view()->isVisible()) {
            box->showPopup();
        }
    });
    return box;
}

void OccasionDelegate::commitAndClose() {
    auto* box = qobject_cast<OccasionBox*>(sender());
    if (!box || box->chosen || box->closed) {
        return;
    }
    box->chosen = true;
    emit commitData(box);
    emit closeEditor(box);
}

void OccasionDelegate::closeUnchosen() {
    auto* box = qobject_cast<OccasionBox*>(sender());
    if (box && !box->chosen && !box->closed) {
        box->closed = true;
        emit closeEditor(box, QAbstractItemDelegate::RevertModelCache);
    }
}

void OccasionDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    static_cast<QComboBox*>(editor)->setCurrentText(index.data(Qt::EditRole).toString());
}

void OccasionDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
    // The view also commits when the editor loses the keyboard or the window closes: only a choice counts.
    const auto* box = static_cast<OccasionBox*>(editor);
    if (box->chosen) {
        model->setData(index, box->currentText(), Qt::EditRole);
    }
}

#include "occasion_table.moc"
