// Turns left mouse presses or releases on a control that has no click signal of its own (labels,
// the logo) into a command.
#pragma once

#include <QEvent>
#include <QObject>
#include <functional>

class TClickFilter final : public QObject {
public:
    // `trigger` is QEvent::MouseButtonPress or QEvent::MouseButtonRelease.
    TClickFilter(QObject* parent, QEvent::Type trigger, std::function<void()> command);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QEvent::Type m_trigger;
    std::function<void()> m_command;
};
