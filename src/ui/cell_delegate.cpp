#include "ui/cell_delegate.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>

namespace ui {

namespace {
constexpr qsizetype MaxKeptLayouts = 2048;
}  // namespace

struct CellDelegate::Layout {
    QTextLayout text;
    int height = 0;
    qreal width = 0;
};

size_t qHash(const CellDelegate::LayoutKey& key, size_t seed) {
    return qHashMulti(seed, key.text, key.width, key.alignment, key.direction, key.elide);
}

CellDelegate::~CellDelegate() = default;

std::shared_ptr<const CellDelegate::Layout> CellDelegate::layoutFor(const QString& text,
                                                                    const QStyleOptionViewItem& option, int width,
                                                                    Qt::Alignment alignment) const {
    if (option.font != m_font) {
        m_layouts.clear();
        m_font = option.font;
    }
    const LayoutKey key{text, width, static_cast<int>(alignment), static_cast<int>(option.direction),
                        static_cast<int>(option.textElideMode)};
    if (const auto kept = m_layouts.constFind(key); kept != m_layouts.constEnd()) {
        return kept.value();
    }
    // As the style lays out a one-line text; a text wider than the cell is laid out again, elided.
    auto layout = std::make_shared<Layout>();
    QTextOption textOption(alignment);
    textOption.setWrapMode(QTextOption::NoWrap);
    textOption.setTextDirection(option.direction);
    QString shown = text;
    QTextLine line;
    for (int pass = 0; pass < 2; ++pass) {
        layout->text.clearLayout();
        layout->text.setText(shown);
        layout->text.setFont(option.font);
        layout->text.setTextOption(textOption);
        layout->text.setCacheEnabled(true);  // else every draw shapes the text again
        layout->text.beginLayout();
        line = layout->text.createLine();
        line.setLineWidth(width);
        line.setPosition(QPointF(0, 0));
        layout->text.endLayout();
        if (pass == 1 || line.naturalTextWidth() <= width) {
            break;
        }
        shown = QFontMetrics(option.font).elidedText(shown, option.textElideMode, width);
    }
    layout->height = static_cast<int>(line.height());
    layout->width = line.naturalTextWidth();
    if (m_layouts.size() >= MaxKeptLayouts) {
        m_layouts.clear();
    }
    m_layouts.insert(key, layout);
    return layout;
}

void CellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    if (option.state & (QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_Editing) ||
        option.features & QStyleOptionViewItem::Alternate) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const QVariant background = index.data(Qt::BackgroundRole);
    if (background.isValid()) {
        painter->fillRect(option.rect, background.value<QBrush>());
    }
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty()) {
        return;
    }
    const QWidget* view = option.widget;
    const QStyle* style = view ? view->style() : QApplication::style();
    // The style's text rectangle: its focus-frame margin and one pixel on each side.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    const QRect textRect = option.rect.adjusted(margin, 0, -margin, 0);
    QPalette::ColorGroup group = option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(option.state & QStyle::State_Active)) {
        group = QPalette::Inactive;
    }
    const QVariant alignment = index.data(Qt::TextAlignmentRole);
    const Qt::Alignment align = QStyle::visualAlignment(
        option.direction, alignment.isValid() ? alignment.value<Qt::Alignment>() : (Qt::AlignLeft | Qt::AlignVCenter));
    const std::shared_ptr<const Layout> layout = layoutFor(text, option, textRect.width(), align);
    // Placed as the style places its text layout: the line's box aligned in whole pixels.
    const QRect box = QStyle::alignedRect(option.direction, align & Qt::AlignVertical_Mask,
                                          QSize(textRect.width(), layout->height), textRect);
    const QPen pen = painter->pen();
    painter->setPen(option.palette.color(group, QPalette::Text));
    if (layout->width <= textRect.width() && layout->height <= textRect.height()) {
        // Elided to the width already and not taller than the row: no clip (per cell, a clip costs more than the
        // text).
        layout->text.draw(painter, box.topLeft());
    } else {
        painter->save();
        painter->setClipRect(textRect, Qt::IntersectClip);
        layout->text.draw(painter, box.topLeft());
        painter->restore();
    }
    painter->setPen(pen);
}

}  // namespace ui
