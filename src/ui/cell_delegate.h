#pragma once

#include <QFont>
#include <QHash>
#include <QStyledItemDelegate>
#include <memory>

class QTextLayout;

namespace ui {

/// Draws plain cells (a colour and a line of text) itself, as the style would, without the style's general item
/// machinery: a month calendar of 900 coloured cells or a long list redraws in a fraction of the time. Selected
/// and focused cells, and anything else out of the ordinary, still go to the style.
class CellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    ~CellDelegate() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    /// A cell's text laid out in its width: what the style would draw.
    struct Layout;
    struct LayoutKey {
        QString text;
        int width = 0;
        int alignment = 0;
        int direction = 0;
        int elide = 0;
        bool operator==(const LayoutKey&) const = default;
    };

private:
    std::shared_ptr<const Layout> layoutFor(const QString& text, const QStyleOptionViewItem& option, int width,
                                            Qt::Alignment alignment) const;

    // Lists repeat their texts (dates, situations, values, arrows) and are redrawn on every scroll: the laid-out
    // texts are kept, for one font.
    mutable QFont m_font;
    mutable QHash<LayoutKey, std::shared_ptr<const Layout>> m_layouts;
};

size_t qHash(const CellDelegate::LayoutKey& key, size_t seed = 0);

}  // namespace ui
