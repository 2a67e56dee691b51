#pragma once

class QWidget;

namespace ui {

/// One scale for everything the program draws on screen: text, controls, grid rows, charts and the help. Layouts
/// keep their proportions because every length in them grows by the same factor; printers are not screens and
/// keep theirs. Safe to call while windows are open: they redraw at the new scale.
void setTextScale(double factor);
double textScale();

/// Keeps a window that a larger scale made bigger than its screen's free area inside that area.
void fitIntoScreen(QWidget& window);

}  // namespace ui
