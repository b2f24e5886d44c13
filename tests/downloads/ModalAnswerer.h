// Answers the modal windows a test's call opens: message boxes are recorded and answered with
// their default button (or Yes when asked to), any other modal dialog is handed to a function,
// again each time it comes back on top (after a message box it opened).
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>

class TModalAnswerer {
public:
    explicit TModalAnswerer(std::function<void(QWidget*)> onDialog = nullptr)
        : m_onDialog(std::move(onDialog)) {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Answer(); });
        m_timer.start();
    }
    void SetDialogHandler(std::function<void(QWidget*)> onDialog) { m_onDialog = std::move(onDialog); }

    QStringList Messages;   // texts of the message boxes answered, in order
    bool AnswerYes = false; // answer questions with Yes instead of the default button
    int DialogsSeen = 0;    // other modal dialogs handed to the function

private:
    void Answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == m_handled)
            return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            m_handled = box;
            Messages.append(box->text());
            QAbstractButton* yes = box->button(QMessageBox::Yes);
            QAbstractButton* button =
                AnswerYes && yes ? yes : static_cast<QAbstractButton*>(box->defaultButton());
            if (button)
                button->click();
            else
                box->accept();
            return;
        }
        if (m_onDialog) {
            m_handled = modal;
            ++DialogsSeen;
            m_onDialog(modal);
        }
    }

    QTimer m_timer;
    QPointer<QWidget> m_handled;
    std::function<void(QWidget*)> m_onDialog;
};
