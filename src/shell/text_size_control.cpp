#include "shell/text_size_control.h"

#include <QKeySequence>
#include <QSettings>
#include <QShortcut>
#include <QWidget>
#include <cmath>

#include "ui/chart.h"
#include "ui/text_scale.h"

namespace {

const char* const PreferenceKey = "display/textSizePercent";

}  // namespace

TextSizeControl::TextSizeControl(QWidget& window) : QObject(&window), m_window(window) {
    // Ctrl+; is where "+" lies on a Japanese keyboard (Shift+;), Ctrl+= on an English one.
    // (Not QKeySequence::ZoomIn and ZoomOut as well: they are these same keys, and two shortcuts on one key cancel
    // each other out.)
    const std::pair<QKeySequence, int> keys[] = {{QKeySequence(Qt::CTRL | Qt::Key_Plus), 1},
                                                 {QKeySequence(Qt::CTRL | Qt::Key_Equal), 1},
                                                 {QKeySequence(Qt::CTRL | Qt::Key_Semicolon), 1},
                                                 {QKeySequence(Qt::CTRL | Qt::Key_Minus), -1},
                                                 {QKeySequence(Qt::CTRL | Qt::Key_0), 0}};
    for (const auto& [key, steps] : keys) {
        auto* shortcut = new QShortcut(key, &window);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this,
                [this, steps = steps] { steps == 0 ? choose(sora::TextSize::Standard) : step(steps); });
    }
}

sora::TextSize TextSizeControl::stored() {
    return sora::text_size_from_percent(QSettings().value(PreferenceKey, 100).toInt());
}

void TextSizeControl::applyAtStart(sora::TextSize size) {
    ui::setTextScale(sora::text_size_factor(size));
}

sora::TextSize TextSizeControl::current() const {
    return sora::text_size_from_percent(static_cast<int>(std::lround(ui::textScale() * 100)));
}

void TextSizeControl::choose(sora::TextSize size) {
    const bool differs = size != current();
    if (differs) {
        ui::setTextScale(sora::text_size_factor(size));
        // The charts draw into buffers at the screen's pixel ratio, which has just changed.
        for (ui::Chart* chart : m_window.findChildren<ui::Chart*>()) {
            chart->matchPixelRatio();
        }
        ui::fitIntoScreen(m_window);
    }
    QSettings().setValue(PreferenceKey, sora::text_size_info(size).percent);
    if (differs) {
        emit changed(size);
    }
}

void TextSizeControl::step(int steps) {
    choose(sora::stepped_text_size(current(), steps));
}
