// Message boxes: caption, icon chosen from the flags, the Windows answer of each button, the
// answer of a box closed without a button, and the page boxes' check box and input field.
#include "browser/PageMessageBox.h"
#include "common/Dialogs.h"
#include "support/ModalAnswerer.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <functional>
#include <memory>

class TestDialogs : public QObject {
    Q_OBJECT

    // An answerer that runs `act` on each box once it is shown.
    static std::unique_ptr<TModalAnswerer> Acting(std::function<void(QMessageBox*)> act) {
        auto answerer = std::make_unique<TModalAnswerer>([act](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            act(box);
        });
        answerer->BoxesToHandler = true;
        return answerer;
    }

    // Runs `act` on the message box once it is shown, and answers what MsgBox returned.
    int Answer(const QString& text, int flags, std::function<void(QMessageBox*)> act) {
        auto answerer = Acting(std::move(act));
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

    // The page's boxes: the check box that silences a page, and the prompt box's input field.
    void pageBoxesOfferSilenceAndInput() {
        {
            auto silencing = Acting([](QMessageBox* box) {
                QVERIFY(box->checkBox());
                QCOMPARE(box->checkBox()->text(), QStringLiteral("禁止此页再显示对话框"));
                box->checkBox()->setChecked(true);
                Press(box, QMessageBox::Ok);
            });
            QCOMPARE(PageMsgBox(QStringLiteral("又一个"), MB_OFFERSILENCE | MB_ICONINFORMATION), IDOK | IDSILENCE);
        }
        TModalAnswerer prompt([](QWidget* box) {
            auto* edit = box->findChild<QLineEdit*>(QStringLiteral("EditPrompt"));
            QVERIFY(edit);
            QCOMPARE(edit->text(), QStringLiteral("默认"));
            edit->setText(QStringLiteral("输入的文字"));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        prompt.BoxesToHandler = true;
        QString value = QStringLiteral("默认");
        QCOMPARE(PagePromptBox(QStringLiteral("请输入"), MB_OKCANCEL, &value), int(IDOK));
        QCOMPARE(value, QStringLiteral("输入的文字"));
    }

    void closedWithoutButton() {
        QCOMPARE(Answer(QStringLiteral("?"), MB_YESNOCANCEL, [](QMessageBox* box) { box->reject(); }),
                 int(IDCANCEL));
        QCOMPARE(Answer(QStringLiteral("?"), MB_YESNO, [](QMessageBox* box) { box->reject(); }), int(IDNO));
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_Dialogs.moc"
