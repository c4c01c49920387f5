// Real input through the X display (XTest): keys and buttons as a user's devices would send them, routed
// by the display to whichever window has the keyboard focus or lies under the pointer.
#pragma once

#include <QPoint>

namespace XTestInput {
// False when there is no X display with the XTest extension (tests skip then).
bool Available();
// Presses and releases the key of an X keysym name such as "e" or "Escape", with the modifier key (such as
// "Control_L") held down around it when one is named.
void TapKey(const char* keysymName, const char* modifierName = nullptr);
// Moves the pointer to a global position.
void MoveTo(QPoint global);
// Presses (down = true) or releases a pointer button: 1 left, 2 middle, 3 right.
void Button(int button, bool down);
} // namespace XTestInput
