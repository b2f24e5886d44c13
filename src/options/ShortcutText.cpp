// Stored shortcut values to and from key presses and text.
#include "options/ShortcutText.h"

#include "common/VirtualKey.h"

#include <QCoreApplication>
#include <QHash>

namespace {

QString KeyName(int virtualKey) {
    if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z'))
        return QString(QChar(virtualKey));
    if (virtualKey >= VK_F1 && virtualKey <= VK_F24)
        return QStringLiteral("F%1").arg(virtualKey - VK_F1 + 1);
    if (virtualKey >= VK_NUMPAD0 && virtualKey <= VK_NUMPAD0 + 9)
        return QStringLiteral("Num %1").arg(virtualKey - VK_NUMPAD0);
    static const QHash<int, QString> names = {
        {VK_BACK, "Backspace"}, {VK_TAB, "Tab"},        {VK_RETURN, "Enter"},  {VK_ESCAPE, "Esc"},
        {VK_SPACE, "Space"},    {VK_PRIOR, "PgUp"},     {VK_NEXT, "PgDn"},     {VK_END, "End"},
        {VK_HOME, "Home"},      {VK_LEFT, "←"},         {VK_UP, "↑"},          {VK_RIGHT, "→"},
        {VK_DOWN, "↓"},         {VK_INSERT, "Ins"},     {VK_DELETE, "Del"},    {VK_MULTIPLY, "Num *"},
        {VK_ADD, "Num +"},      {VK_SUBTRACT, "Num -"}, {VK_DECIMAL, "Num ."}, {VK_DIVIDE, "Num /"},
        {VK_OEM_1, ";"},        {VK_OEM_PLUS, "="},     {VK_OEM_COMMA, ","},   {VK_OEM_MINUS, "-"},
        {VK_OEM_PERIOD, "."},   {VK_OEM_2, "/"},        {VK_OEM_3, "`"},       {VK_OEM_4, "["},
        {VK_OEM_5, "\\"},       {VK_OEM_6, "]"},        {VK_OEM_7, "'"}};
    return names.value(virtualKey, QStringLiteral("0x%1").arg(virtualKey, 2, 16, QLatin1Char('0')));
}

} // namespace

QString ShortcutText(quint16 value) {
    const int virtualKey = value & 0xFF;
    if (virtualKey == 0)
        return QCoreApplication::translate("TFormOption", "无");
    QStringList parts;
    if (value & scCtrl)
        parts << QStringLiteral("Ctrl");
    if (value & scShift)
        parts << QStringLiteral("Shift");
    if (value & scAlt)
        parts << QStringLiteral("Alt");
    parts << KeyName(virtualKey);
    return parts.join(QStringLiteral(" + "));
}

quint16 ShortcutValue(int qtKey, Qt::KeyboardModifiers modifiers) {
    const int virtualKey = VirtualKeyOfQtKey(qtKey, modifiers);
    if (virtualKey <= 0 || virtualKey > 0xFF)
        return 0;
    int value = virtualKey;
    if (modifiers & Qt::ShiftModifier)
        value |= scShift;
    if (modifiers & Qt::ControlModifier)
        value |= scCtrl;
    if (modifiers & Qt::AltModifier)
        value |= scAlt;
    return quint16(value);
}
