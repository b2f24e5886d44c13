// Left presses or releases on a control that has no click signal, turned into a command.
#include "shell/ClickFilter.h"

#include <QMouseEvent>

TClickFilter::TClickFilter(QObject* parent, QEvent::Type trigger, std::function<void()> command)
    : QObject(parent), m_trigger(trigger), m_command(std::move(command)) {}

bool TClickFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == m_trigger && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        m_command();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
