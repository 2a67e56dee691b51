#pragma once

#include <QLayout>
#include <QList>

namespace ui {

/// Lays its widgets out left to right at their preferred sizes and starts a new line where the next one would not
/// fit, so a row of buttons stays whole and reachable in a narrow window instead of setting the window's width.
class FlowLayout : public QLayout {
public:
    explicit FlowLayout(QWidget* parent = nullptr);
    ~FlowLayout() override;

    void addItem(QLayoutItem* item) override;
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

private:
    /// Places the items in `rect` (only measures unless `apply`) and returns the height they take.
    int arrange(const QRect& rect, bool apply) const;

    QList<QLayoutItem*> m_items;
};

}  // namespace ui
