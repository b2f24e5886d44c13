// Stored shortcut values (virtual-key code in the low byte, 0x2000 Shift, 0x4000 Ctrl,
// 0x8000 Alt) to and from what the user pressed and what the options page shows.
#pragma once

#include <QString>
#include <Qt>

// "Ctrl + Alt + X"; "无" for 0.
QString ShortcutText(quint16 value);
// The value of a key press; 0 for a modifier alone or a key without a virtual-key code.
quint16 ShortcutValue(int qtKey, Qt::KeyboardModifiers modifiers);
