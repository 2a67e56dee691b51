#pragma once

namespace ui {

/// Makes Enter on a focused push button press it in every window of the program, as Space does (Qt presses a
/// button on Enter only inside a dialog). A held Enter presses it once. Once per application; later calls do
/// nothing.
void pressButtonsOnEnter();

}  // namespace ui
