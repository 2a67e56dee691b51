#pragma once

#include <initializer_list>

class QWidget;

namespace ui {

/// The name (and, where the name is not enough, the description) a screen reader says for a control, beside its
/// caption on the screen.
struct ControlName {
    const char* objectName;
    const char* name;
    const char* description = nullptr;
};

/// Gives the controls under `root`, found by objectName, their accessible names and descriptions; one table per
/// screen keeps them in one place. Returns how many of the names found no control.
int nameControls(QWidget& root, std::initializer_list<ControlName> names);

}  // namespace ui
