// The address field: first-click select-all and key-release reporting.
#include "navigation/AddressEdit.h"

#include "common/VirtualKey.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>

TAddressEdit::TAddressEdit(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("EditUrl"));
    setFrame(false);
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!m_typing)
            emit textEntered(text);
    });
}

void TAddressEdit::enterEvent(QEvent* event) {
    Tag = 0;
    QLineEdit::enterEvent(event);
}

void TAddressEdit::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_pressPoint = event->pos();
    QLineEdit::mousePressEvent(event);
}

void TAddressEdit::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    if (Tag > 0)
        return;
    ++Tag;
    // A release about where the press was is a click, not a drag that chose some text.
    if (qAbs(event->pos().x() - m_pressPoint.x()) < fontMetrics().horizontalAdvance(QLatin1Char('a')))
        selectAll();
}

namespace {
// The physical key of an event: the same for its press and its release, whatever modifiers
// changed in between (events without a scan code, as tests make them, use the Qt key).
quint32 PhysicalKey(const QKeyEvent* event) {
    return event->nativeScanCode() != 0 ? event->nativeScanCode() : 0x80000000u | quint32(event->key());
}
} // namespace

void TAddressEdit::keyPressEvent(QKeyEvent* event) {
    m_heldKeys.insert(PhysicalKey(event));
    m_typing = !event->matches(QKeySequence::Paste);
    QLineEdit::keyPressEvent(event);
    m_typing = false;
}

void TAddressEdit::inputMethodEvent(QInputMethodEvent* event) {
    // A commit changes the text (so may the start of a composition that replaces the selection);
    // the preedit string being composed is not part of it.
    const QString before = text();
    m_typing = true;
    QLineEdit::inputMethodEvent(event);
    m_typing = false;
    if (text() != before)
        emit textEntered(text());
}

void TAddressEdit::keyReleaseEvent(QKeyEvent* event) {
    QLineEdit::keyReleaseEvent(event);
    if (event->isAutoRepeat() || !m_heldKeys.remove(PhysicalKey(event)))
        return;
    const int virtualKey = VirtualKeyOfQtKey(event->key(), event->modifiers());
    if (virtualKey != 0)
        emit keyReleased(virtualKey, event->modifiers());
}
