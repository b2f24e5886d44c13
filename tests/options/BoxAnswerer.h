// Answers the message boxes a test's call opens, with the button it is told to press (the
// default button unless told otherwise), and keeps their texts.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

class TBoxAnswerer {
public:
    explicit TBoxAnswerer(QMessageBox::StandardButton answer = QMessageBox::NoButton) : Answer(answer) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { AnswerOpenBox(); });
        m_timer.start(10);
    }

    QMessageBox::StandardButton Answer;
    QStringList Texts;

private:
    void AnswerOpenBox() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box == m_answered)
            return;
        m_answered = box;
        Texts.append(box->text());
        QAbstractButton* button = Answer != QMessageBox::NoButton
                                      ? box->button(Answer)
                                      : static_cast<QAbstractButton*>(box->defaultButton());
        if (button)
            button->click();
        else
            box->done(0);
    }

    QTimer m_timer;
    QPointer<QMessageBox> m_answered;
};
