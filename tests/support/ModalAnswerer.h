// Answers the modal windows a test's call opens. Message boxes are recorded and answered with the
// button named by Answer (their default button unless set); any other modal window (and message
// boxes too when BoxesToHandler is set) is handed to a function, again each time it comes back on
// top (after a message box it opened). Checks made inside that function fail the test as usual;
// once the test has failed, the window is closed and so is every modal window after it, so a
// failed check ends the call instead of leaving the test waiting on an open dialog.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QtTest>
#include <functional>

class TModalAnswerer {
public:
    using THandler = std::function<void(QWidget*)>;

    explicit TModalAnswerer(THandler onDialog = nullptr, QMessageBox::StandardButton answer = QMessageBox::NoButton)
        : Answer(answer), m_onDialog(std::move(onDialog)) {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { AnswerTop(); });
        m_timer.start();
    }
    explicit TModalAnswerer(QMessageBox::StandardButton answer) : TModalAnswerer(nullptr, answer) {}
    TModalAnswerer(const TModalAnswerer&) = delete;
    TModalAnswerer& operator=(const TModalAnswerer&) = delete;

    QMessageBox::StandardButton Answer; // the button pressed on message boxes; NoButton: the default
    bool BoxesToHandler = false;        // message boxes go to the function as well
    QStringList Messages;               // texts of the message boxes answered, in order
    int DialogsSeen = 0;                // modal windows handed to the function

private:
    void AnswerTop() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (QTest::currentTestFailed()) {
            Close(modal);
            return;
        }
        if (modal == m_handled)
            return;
        m_handled = modal;
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box && !(BoxesToHandler && m_onDialog)) {
            Messages.append(box->text());
            PressAnswer(box);
            return;
        }
        if (!m_onDialog)
            return;
        ++DialogsSeen;
        m_onDialog(modal);
        if (QTest::currentTestFailed() && m_handled)
            Close(m_handled);
    }

    void PressAnswer(QMessageBox* box) const {
        QAbstractButton* button = Answer != QMessageBox::NoButton
                                      ? box->button(Answer)
                                      : static_cast<QAbstractButton*>(box->defaultButton());
        if (button)
            button->click();
        else
            box->accept();
    }

    static void Close(QWidget* modal) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    }

    THandler m_onDialog;
    QTimer m_timer;
    QPointer<QWidget> m_handled;
};
