#pragma once

#include <QIcon>

namespace ui {

/// Pictures of picture buttons: show a chosen period, save, print.
enum class ButtonIcon { Period, Save, Print };

/// Drawn in code, so the buttons look the same with every icon theme (and without one).
QIcon buttonIcon(ButtonIcon which);

}  // namespace ui
