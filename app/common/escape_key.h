#pragma once

#include <functional>

class QKeyEvent;
class QWidget;

namespace zentrel {

// Every full-screen view and panel leaves on Escape: true when event is Escape, after calling
// onEscape (if set) and accepting it, so the key goes no further; false for any other key.
bool takeEscapeKey(QKeyEvent *event, const std::function<void()> &onEscape);

// For a window of ours that has no use for Escape (the launcher that stands in for the tray
// icon): Escape typed while it holds the keyboard counts as typed in another program's window.
void letEscapeThrough(QWidget *window);

// Escape typed while window holds the keyboard is that window's own (an alert, a dialog, the
// settings window, a text field): true for any shown window of ours but a pop-up menu, which
// closes on Escape by itself, and the windows that let it through.
bool keepsEscape(const QWidget *window);

} // namespace zentrel
