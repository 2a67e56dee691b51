#pragma once

class QApplication;

namespace ui {

/// Draws a clear frame around whichever control has the keyboard, on every screen and dialog: the styles' own
/// focus marks (a faint line, a slightly bluer border) are hard to see for older eyes. The frame lies around the
/// control, so no layout moves. Installed once for the application.
void useVisibleFocus(QApplication& app);

}  // namespace ui
