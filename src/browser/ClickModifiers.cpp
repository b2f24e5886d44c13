// The kind and modifiers of the newest key or mouse button event.
#include "browser/ClickModifiers.h"

#include <QCoreApplication>
#include <QInputEvent>

TClickModifiers::TClickModifiers(QObject* parent) : QObject(parent) {
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

TClickModifiers::~TClickModifiers() {
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

bool TClickModifiers::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        m_ctrlClick = static_cast<QInputEvent*>(event)->modifiers().testFlag(Qt::ControlModifier);
        break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        // Ctrl itself is released after a Ctrl+click as well; it does not end the click.
        if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Control)
            m_ctrlClick = false;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
