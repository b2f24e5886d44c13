// Virtual-key codes <-> Qt keys and X keysyms, from one table.
#include "common/VirtualKey.h"

#include <X11/keysym.h>

namespace {

struct TKeyRow {
    int VirtualKey;
    int QtKey;
    quint32 Keysym;
};

// Keys whose codes are not plain ASCII; letters, digits, F-keys and keypad digits are computed.
const TKeyRow kKeys[] = {
    {VK_BACK, Qt::Key_Backspace, XK_BackSpace},
    {VK_TAB, Qt::Key_Tab, XK_Tab},
    {VK_TAB, Qt::Key_Backtab, XK_ISO_Left_Tab},
    {VK_RETURN, Qt::Key_Return, XK_Return},
    {VK_RETURN, Qt::Key_Enter, XK_KP_Enter},
    {VK_ESCAPE, Qt::Key_Escape, XK_Escape},
    {VK_SPACE, Qt::Key_Space, XK_space},
    {VK_PRIOR, Qt::Key_PageUp, XK_Prior},
    {VK_NEXT, Qt::Key_PageDown, XK_Next},
    {VK_END, Qt::Key_End, XK_End},
    {VK_HOME, Qt::Key_Home, XK_Home},
    {VK_LEFT, Qt::Key_Left, XK_Left},
    {VK_UP, Qt::Key_Up, XK_Up},
    {VK_RIGHT, Qt::Key_Right, XK_Right},
    {VK_DOWN, Qt::Key_Down, XK_Down},
    {VK_INSERT, Qt::Key_Insert, XK_Insert},
    {VK_DELETE, Qt::Key_Delete, XK_Delete},
    {VK_OEM_1, Qt::Key_Semicolon, XK_semicolon},
    {VK_OEM_1, Qt::Key_Colon, XK_colon},
    {VK_OEM_PLUS, Qt::Key_Equal, XK_equal},
    {VK_OEM_PLUS, Qt::Key_Plus, XK_plus},
    {VK_OEM_COMMA, Qt::Key_Comma, XK_comma},
    {VK_OEM_COMMA, Qt::Key_Less, XK_less},
    {VK_OEM_MINUS, Qt::Key_Minus, XK_minus},
    {VK_OEM_MINUS, Qt::Key_Underscore, XK_underscore},
    {VK_OEM_PERIOD, Qt::Key_Period, XK_period},
    {VK_OEM_PERIOD, Qt::Key_Greater, XK_greater},
    {VK_OEM_2, Qt::Key_Slash, XK_slash},
    {VK_OEM_2, Qt::Key_Question, XK_question},
    {VK_OEM_3, Qt::Key_QuoteLeft, XK_grave},
    {VK_OEM_3, Qt::Key_AsciiTilde, XK_asciitilde},
    {VK_OEM_4, Qt::Key_BracketLeft, XK_bracketleft},
    {VK_OEM_4, Qt::Key_BraceLeft, XK_braceleft},
    {VK_OEM_5, Qt::Key_Backslash, XK_backslash},
    {VK_OEM_5, Qt::Key_Bar, XK_bar},
    {VK_OEM_6, Qt::Key_BracketRight, XK_bracketright},
    {VK_OEM_6, Qt::Key_BraceRight, XK_braceright},
    {VK_OEM_7, Qt::Key_Apostrophe, XK_apostrophe},
    {VK_OEM_7, Qt::Key_QuoteDbl, XK_quotedbl},
};

// Shifted digits of a US keyboard: Shift+1 arrives as "!", and so on.
const int kShiftedDigits[10] = {Qt::Key_ParenRight, Qt::Key_Exclam,   Qt::Key_At,          Qt::Key_NumberSign,
                                Qt::Key_Dollar,     Qt::Key_Percent,  Qt::Key_AsciiCircum, Qt::Key_Ampersand,
                                Qt::Key_Asterisk,   Qt::Key_ParenLeft};

} // namespace

int VirtualKeyOfQtKey(int qtKey, Qt::KeyboardModifiers modifiers) {
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return keypad ? VK_NUMPAD0 + (qtKey - Qt::Key_0) : qtKey;
    if (keypad) {
        switch (qtKey) {
        case Qt::Key_Asterisk:
            return VK_MULTIPLY;
        case Qt::Key_Plus:
            return VK_ADD;
        case Qt::Key_Minus:
            return VK_SUBTRACT;
        case Qt::Key_Period:
            return VK_DECIMAL;
        case Qt::Key_Slash:
            return VK_DIVIDE;
        default:
            break;
        }
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return VK_F1 + (qtKey - Qt::Key_F1);
    for (int digit = 0; digit < 10; ++digit) {
        if (kShiftedDigits[digit] == qtKey)
            return '0' + digit;
    }
    for (const TKeyRow& row : kKeys) {
        if (row.QtKey == qtKey)
            return row.VirtualKey;
    }
    return 0;
}

quint32 KeysymOfVirtualKey(int virtualKey) {
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return XK_a + (virtualKey - 'A');
    if (virtualKey >= '0' && virtualKey <= '9')
        return XK_0 + (virtualKey - '0');
    if (virtualKey >= VK_NUMPAD0 && virtualKey <= VK_NUMPAD0 + 9)
        return XK_KP_0 + (virtualKey - VK_NUMPAD0);
    if (virtualKey >= VK_F1 && virtualKey <= VK_F24)
        return XK_F1 + (virtualKey - VK_F1);
    switch (virtualKey) {
    case VK_MULTIPLY:
        return XK_KP_Multiply;
    case VK_ADD:
        return XK_KP_Add;
    case VK_SUBTRACT:
        return XK_KP_Subtract;
    case VK_DECIMAL:
        return XK_KP_Decimal;
    case VK_DIVIDE:
        return XK_KP_Divide;
    default:
        break;
    }
    // The first row of a code is its unshifted key.
    for (const TKeyRow& row : kKeys) {
        if (row.VirtualKey == virtualKey)
            return row.Keysym;
    }
    return 0;
}

int VirtualKeyOfKeysym(quint32 keysym) {
    if (keysym >= XK_a && keysym <= XK_z)
        return 'A' + int(keysym - XK_a);
    if (keysym >= XK_A && keysym <= XK_Z)
        return 'A' + int(keysym - XK_A);
    if (keysym >= XK_0 && keysym <= XK_9)
        return '0' + int(keysym - XK_0);
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9)
        return VK_NUMPAD0 + int(keysym - XK_KP_0);
    if (keysym >= XK_F1 && keysym <= XK_F24)
        return VK_F1 + int(keysym - XK_F1);
    switch (keysym) {
    case XK_KP_Multiply:
        return VK_MULTIPLY;
    case XK_KP_Add:
        return VK_ADD;
    case XK_KP_Subtract:
        return VK_SUBTRACT;
    case XK_KP_Decimal:
        return VK_DECIMAL;
    case XK_KP_Divide:
        return VK_DIVIDE;
    default:
        break;
    }
    for (const TKeyRow& row : kKeys) {
        if (row.Keysym == keysym)
            return row.VirtualKey;
    }
    return 0;
}

int ShiftToHotKeyModifiers(bool shift, bool alt, bool ctrl) {
    return (shift ? MOD_SHIFT : 0) | (ctrl ? MOD_CONTROL : 0) | (alt ? MOD_ALT : 0);
}
