// Drives the modal windows a test's call opens: every new modal window on top is handed to the
// test's function (message boxes too, after their text is recorded); a message box the function
// leaves open is answered with its default button.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>

class TModalDriver {
public:
    explicit TModalDriver(std::function<void(QWidget*)> onWindow = nullptr)
        : m_onWindow(std::move(onWindow)) {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Drive(); });
        m_timer.start();
    }

    QStringList Messages; // texts of the message boxes, in order
    int Windows = 0;      // other modal windows handed to the function

private:
    void Drive() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == m_seen)
            return;
        m_seen = modal;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            Messages.append(box->text());
            if (QAbstractButton* button = box->defaultButton())
                button->click();
            else
                box->accept();
            return;
        }
        ++Windows;
        if (m_onWindow)
            m_onWindow(modal);
    }

    QTimer m_timer;
    QPointer<QWidget> m_seen;
    std::function<void(QWidget*)> m_onWindow;
};
