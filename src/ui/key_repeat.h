#pragma once

class QKeyEvent;

namespace ui {

/// Starts watching the application's key releases, so that isKeyRepeat can tell a held key (once per application;
/// later calls do nothing).
void watchKeyRepeats();

/// Whether a key press only repeats a key held down. Qt marks a repeat only when the window system's release and
/// press arrive together; under X11 they often arrive apart, but a repeated press carries the very time of the
/// release before it.
bool isKeyRepeat(const QKeyEvent& press);

}  // namespace ui
