#include "ui/focus_frame.h"

#include <QApplication>
#include <QFocusFrame>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOption>

namespace ui {
namespace {

constexpr int FrameWidth = 3;
const QColor FrameColour(0, 70, 200);  // a dark blue that stands out on the class colours and on white

class VisibleFocusStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        if (element != CE_FocusFrame) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(FrameColour, FrameWidth));
        painter->setBrush(Qt::NoBrush);
        const qreal inset = FrameWidth / 2.0;
        painter->drawRoundedRect(QRectF(option->rect).adjusted(inset, inset, -inset, -inset), 3, 3);
        painter->restore();
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        // Only for the frame (which asks with its style option, not always with itself as the widget): item views
        // take their cell margins from the same metrics, and the grids' columns must keep their widths.
        const QObject* asking = widget ? static_cast<const QObject*>(widget) : option ? option->styleObject : nullptr;
        if ((metric == PM_FocusFrameHMargin || metric == PM_FocusFrameVMargin) &&
            qobject_cast<const QFocusFrame*>(asking)) {
            return FrameWidth;
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

}  // namespace

void useVisibleFocus(QApplication& app) {
    if (app.property("soranoteVisibleFocus").toBool()) {
        return;
    }
    app.setProperty("soranoteVisibleFocus", true);
    QApplication::setStyle(new VisibleFocusStyle(QApplication::style()->name()));
    // One frame follows the focus from control to control; it draws on the control's parent, outside the control.
    QObject::connect(&app, &QApplication::focusChanged, &app, [](QWidget*, QWidget* now) {
        static QPointer<QFocusFrame> frame;  // deleted with the window it was last in
        if (!now || now->isWindow()) {
            if (frame) {
                frame->setWidget(nullptr);
            }
            return;
        }
        if (!frame) {
            frame = new QFocusFrame(now);
            frame->setObjectName("visibleFocusFrame");
        }
        frame->setWidget(now);
    });
}

}  // namespace ui
