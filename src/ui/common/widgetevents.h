#pragma once

#include <functional>

class QWidget;

namespace zs {

// Calls `handler` when the widget is clicked with the left mouse button (labels
// and pictures that act as commands). The widget shows a pointing hand.
void onClick(QWidget* widget, std::function<void()> handler);

// Calls `handler` when the widget loses the input focus to another widget of
// the program (not when the teacher switches to another window or a menu
// opens). When the handler moves the focus somewhere else than where it was
// going (a refused entry), a mouse click that took the focus away is dropped, so
// the refusal is not followed by the command that was clicked.
void onLostFocus(QWidget* widget, std::function<void()> handler);

// Calls `handler` when the window becomes the active window: when it first
// appears and whenever the teacher comes back to it from another screen of the
// program. Closing a message box or dialog that the window itself showed does
// not count, nor does coming back from another program.
void onActivate(QWidget* window, std::function<void()> handler);

}  // namespace zs
