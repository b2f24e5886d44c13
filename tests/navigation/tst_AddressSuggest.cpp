// Address bar rules without widgets: what each released key does, the list order, the Up/Down
// walk, the secure-address icon rule; and the key codes they are written in.
#include "common/VirtualKey.h"
#include "navigation/AddressSuggest.h"

#include <QtTest>

Q_DECLARE_METATYPE(TAddressKeyAction)

class TAddressSuggestTest final : public QObject {
    Q_OBJECT
private slots:
    void keyActions_data();
    void keyActions();
    void walkWrapsAround_data();
    void walkWrapsAround();
    void secureAddress_data();
    void secureAddress();
    void qtKeysToVirtualKeys_data();
    void qtKeysToVirtualKeys();
    void keysymRoundTrip();
};

void TAddressSuggestTest::keyActions_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("ctrl");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<bool>("alt");
    QTest::addColumn<TAddressKeyAction>("action");
    using A = TAddressKeyAction;
    QTest::newRow("letter") << int('A') << false << false << false << A::FillSuggestions;
    QTest::newRow("digit") << int('7') << false << false << false << A::FillSuggestions;
    QTest::newRow("space") << int(VK_SPACE) << false << false << false << A::FillSuggestions;
    QTest::newRow("F15 is 126") << 126 << false << false << false << A::FillSuggestions;
    QTest::newRow("127 is outside") << 127 << false << false << false << A::None;
    QTest::newRow("shifted letter") << int('A') << false << true << false << A::None;
    QTest::newRow("ctrl letter") << int('A') << true << false << false << A::None;
    QTest::newRow("alt letter") << int('A') << false << false << true << A::None;
    QTest::newRow("backspace") << int(VK_BACK) << false << false << false << A::None;
    QTest::newRow("minus of main keyboard") << int(VK_OEM_MINUS) << false << false << false << A::None;
    QTest::newRow("F4 with shift still fills") << int(VK_F4) << false << true << false << A::FillSuggestions;
    QTest::newRow("enter") << int(VK_RETURN) << false << false << false << A::Open;
    QTest::newRow("ctrl enter") << int(VK_RETURN) << true << false << false << A::OpenInNewTab;
    QTest::newRow("ctrl shift enter") << int(VK_RETURN) << true << true << false << A::Open;
    QTest::newRow("ctrl alt enter") << int(VK_RETURN) << true << false << true << A::Open;
    QTest::newRow("esc") << int(VK_ESCAPE) << false << false << false << A::Revert;
    QTest::newRow("up") << int(VK_UP) << false << false << false << A::SelectPrevious;
    QTest::newRow("down with shift") << int(VK_DOWN) << false << true << false << A::SelectNext;
}

void TAddressSuggestTest::keyActions() {
    QFETCH(int, key);
    QFETCH(bool, ctrl);
    QFETCH(bool, shift);
    QFETCH(bool, alt);
    QFETCH(TAddressKeyAction, action);
    QCOMPARE(AddressKeyAction(key, ctrl, shift, alt), action);
}

void TAddressSuggestTest::walkWrapsAround_data() {
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("previous");
    QTest::addColumn<int>("next");
    QTest::newRow("nothing selected") << -1 << 3 << 2 << 0;
    QTest::newRow("first") << 0 << 3 << 2 << 1;
    QTest::newRow("middle") << 1 << 3 << 0 << 2;
    QTest::newRow("last") << 2 << 3 << 1 << 0;
    QTest::newRow("single entry") << 0 << 1 << 0 << 0;
    QTest::newRow("empty list") << -1 << 0 << -1 << -1;
}

void TAddressSuggestTest::walkWrapsAround() {
    QFETCH(int, selected);
    QFETCH(int, count);
    QFETCH(int, previous);
    QFETCH(int, next);
    QCOMPARE(PreviousSuggestion(selected, count), previous);
    QCOMPARE(NextSuggestion(selected, count), next);
}

void TAddressSuggestTest::secureAddress_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("secure");
    QTest::newRow("https") << QStringLiteral("https://a.com/") << true;
    QTest::newRow("upper case") << QStringLiteral("HTTPS://A.COM/") << true;
    QTest::newRow("http") << QStringLiteral("http://a.com/") << false;
    QTest::newRow("no scheme") << QStringLiteral("a.com/https://") << false;
    QTest::newRow("too short") << QStringLiteral("https:/") << false;
}

void TAddressSuggestTest::secureAddress() {
    QFETCH(QString, address);
    QFETCH(bool, secure);
    QCOMPARE(IsSecureAddress(address), secure);
}

void TAddressSuggestTest::qtKeysToVirtualKeys_data() {
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("virtualKey");
    QTest::newRow("letter") << int(Qt::Key_T) << 0 << int('T');
    QTest::newRow("digit") << int(Qt::Key_3) << 0 << int('3');
    QTest::newRow("keypad digit") << int(Qt::Key_3) << int(Qt::KeypadModifier) << int(VK_NUMPAD0 + 3);
    QTest::newRow("shifted digit") << int(Qt::Key_Exclam) << int(Qt::ShiftModifier) << int('1');
    QTest::newRow("F4") << int(Qt::Key_F4) << 0 << int(VK_F4);
    QTest::newRow("F11") << int(Qt::Key_F11) << 0 << int(VK_F11);
    QTest::newRow("enter of the keypad") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << int(VK_RETURN);
    QTest::newRow("back tab") << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << int(VK_TAB);
    QTest::newRow("equals") << int(Qt::Key_Equal) << 0 << int(VK_OEM_PLUS);
    QTest::newRow("keypad plus") << int(Qt::Key_Plus) << int(Qt::KeypadModifier) << int(VK_ADD);
    QTest::newRow("unknown") << int(Qt::Key_VolumeUp) << 0 << 0;
}

void TAddressSuggestTest::qtKeysToVirtualKeys() {
    QFETCH(int, qtKey);
    QFETCH(int, modifiers);
    QFETCH(int, virtualKey);
    QCOMPARE(VirtualKeyOfQtKey(qtKey, Qt::KeyboardModifiers(modifiers)), virtualKey);
}

void TAddressSuggestTest::keysymRoundTrip() {
    // Every code the boss key can store maps to a keysym and back to the same code.
    for (int key : {int('A'), int('Z'), int('0'), int('9'), int(VK_F1), int(VK_F12), int(VK_HOME),
                    int(VK_SPACE), int(VK_NUMPAD0 + 5), int(VK_OEM_PLUS), int(VK_OEM_7), int(VK_DIVIDE)}) {
        const quint32 keysym = KeysymOfVirtualKey(key);
        QVERIFY2(keysym != 0, qPrintable(QString::number(key)));
        QCOMPARE(VirtualKeyOfKeysym(keysym), key);
    }
    QCOMPARE(KeysymOfVirtualKey('Z'), quint32(0x7a)); // lower-case "z"
    QCOMPARE(KeysymOfVirtualKey(0), quint32(0));
    QCOMPARE(KeysymOfVirtualKey(0xFF), quint32(0));
}

QTEST_GUILESS_MAIN(TAddressSuggestTest)
#include "tst_AddressSuggest.moc"
