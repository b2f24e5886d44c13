// Message boxes: caption, icon chosen from the flags, the Windows answer of each button, and the
// answer of a box closed without a button.
#include "common/Dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

class TestDialogs : public QObject {
    Q_OBJECT

    // Runs `act` on the message box once it is shown, and answers what MsgBox returned.
    int Answer(const QString& text, int flags, std::function<void(QMessageBox*)> act) {
        QTimer::singleShot(0, this, [act] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            act(box);
        });
        return MsgBox(text, flags);
    }

    static void Press(QMessageBox* box, QMessageBox::StandardButton button) {
        QAbstractButton* pressed = box->button(button);
        QVERIFY(pressed);
        pressed->click();
    }

private slots:
    void buttonsAnswerWindowsIds_data() {
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("icon");
        QTest::newRow("plain prompt")
            << 0 << int(QMessageBox::Ok) << int(IDOK) << int(QMessageBox::Information);
        QTest::newRow("yes/no question, yes")
            << 36 << int(QMessageBox::Yes) << int(IDYES) << int(QMessageBox::Question);
        QTest::newRow("yes/no question, no")
            << 36 << int(QMessageBox::No) << int(IDNO) << int(QMessageBox::Question);
        QTest::newRow("ok/cancel gets the question icon")
            << 1 << int(QMessageBox::Cancel) << int(IDCANCEL) << int(QMessageBox::Question);
        QTest::newRow("warning as given")
            << int(MB_ICONWARNING) << int(QMessageBox::Ok) << int(IDOK) << int(QMessageBox::Warning);
    }
    void buttonsAnswerWindowsIds() {
        QFETCH(int, flags);
        QFETCH(int, button);
        QFETCH(int, answer);
        QFETCH(int, icon);
        int shownIcon = -1;
        QString caption;
        const int result = Answer(QStringLiteral("<b>删除失败！</b>"), flags, [&](QMessageBox* box) {
            shownIcon = box->icon();
            caption = box->windowTitle();
            QCOMPARE(box->textFormat(), Qt::PlainText);
            Press(box, static_cast<QMessageBox::StandardButton>(button));
        });
        QCOMPARE(result, answer);
        QCOMPARE(shownIcon, icon);
        QCOMPARE(caption, QStringLiteral("Quellon"));
    }

    void closedWithoutButton() {
        QCOMPARE(Answer(QStringLiteral("?"), MB_YESNOCANCEL, [](QMessageBox* box) { box->reject(); }),
                 int(IDCANCEL));
        QCOMPARE(Answer(QStringLiteral("?"), MB_YESNO, [](QMessageBox* box) { box->reject(); }), int(IDNO));
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_Dialogs.moc"
