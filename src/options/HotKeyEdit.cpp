// The boss-key edit.
#include "options/HotKeyEdit.h"

#include "common/VirtualKey.h"
#include "options/ShortcutText.h"

#include <QKeyEvent>

THotKeyEdit::THotKeyEdit(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("HotKeyBossKey"));
    setReadOnly(true); // typing goes to keyPressEvent, never into the text
    setContextMenuPolicy(Qt::NoContextMenu);
    SetValue(0);
}

void THotKeyEdit::SetValue(quint16 value) {
    m_value = value;
    setText(ShortcutText(value));
}

void THotKeyEdit::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        QLineEdit::keyPressEvent(event); // the focus moves on as usual
        return;
    }
    event->accept();
    if (key == Qt::Key_Backspace && event->modifiers() == Qt::NoModifier) {
        SetValue(0);
        emit valueEdited(0);
        return;
    }
    const quint16 value = ShortcutValue(key, event->modifiers());
    if (value == 0)
        return; // a modifier alone, or a key without a code
    SetValue(value);
    emit valueEdited(value);
}
