// Windows virtual-key codes, the numbers the stored shortcuts and the key rules are written in,
// and their mapping to Qt keys and X keysyms.
#pragma once

#include <Qt>
#include <QtGlobal>

enum TVirtualKey : int {
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_NUMPAD0 = 0x60,
    VK_MULTIPLY = 0x6A,
    VK_ADD = 0x6B,
    VK_SUBTRACT = 0x6D,
    VK_DECIMAL = 0x6E,
    VK_DIVIDE = 0x6F,
    VK_F1 = 0x70,
    VK_F3 = 0x72,
    VK_F4 = 0x73,
    VK_F5 = 0x74,
    VK_F11 = 0x7A,
    VK_F12 = 0x7B,
    VK_F24 = 0x87,
    VK_OEM_1 = 0xBA,
    VK_OEM_PLUS = 0xBB,
    VK_OEM_COMMA = 0xBC,
    VK_OEM_MINUS = 0xBD,
    VK_OEM_PERIOD = 0xBE,
    VK_OEM_2 = 0xBF,
    VK_OEM_3 = 0xC0,
    VK_OEM_4 = 0xDB,
    VK_OEM_5 = 0xDC,
    VK_OEM_6 = 0xDD,
    VK_OEM_7 = 0xDE,
};

// The virtual-key code of a Qt key (letters and digits are their upper-case ASCII codes; keypad
// keys with Qt::KeypadModifier give the keypad codes). 0 for keys without a code.
int VirtualKeyOfQtKey(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// The X keysym of a virtual-key code (letters give the lower-case keysym); 0 when there is none.
quint32 KeysymOfVirtualKey(int virtualKey);
// The virtual-key code of an X keysym; 0 when there is none.
int VirtualKeyOfKeysym(quint32 keysym);

// Modifier bits of a global hot key (the values the hot-key registration expects).
enum THotKeyModifier : int { MOD_ALT = 1, MOD_CONTROL = 2, MOD_SHIFT = 4 };
// Bits of a stored shortcut value: virtual-key code in the low byte plus these.
enum TShortcutBits : int { scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000 };
int ShiftToHotKeyModifiers(bool shift, bool alt, bool ctrl);
