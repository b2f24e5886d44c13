// The boss key under X11 (Xvfb): registering a stored shortcut, the key press the native filter
// sees, the window hiding and showing, and values that name no key.
#include "browser/TabController.h"
#include "common/AppPaths.h"
#include "common/Messages.h"
#include "common/VirtualKey.h"
#include "shell/BossKey.h"
#include "shell/FormMain.h"
#include "storage/Config.h"
#include "support/TestDb.h"

#include "support/EngineTestMain.h"
#include <QApplication>
#include <QSignalSpy>
#include <QX11Info>

#include <QtTest>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

namespace {

quint8 KeycodeOf(int virtualKey) {
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(QX11Info::connection());
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, KeysymOfVirtualKey(virtualKey));
    const quint8 code = codes ? codes[0] : 0;
    free(codes);
    xcb_key_symbols_free(symbols);
    return code;
}

// Hands the filter a key press as the X server reports it.
bool Press(TBossKey& key, quint8 keycode, quint16 state) {
    xcb_key_press_event_t press{};
    press.response_type = XCB_KEY_PRESS;
    press.detail = keycode;
    press.state = state;
    press.root = QX11Info::appRootWindow();
    return key.nativeEventFilter("xcb_generic_event_t", &press, nullptr);
}

} // namespace

class TBossKeyTest final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void registersAndSeesItsKey();
    void valuesWithoutAKey();
    void windowHidesAndShows();
};

void TBossKeyTest::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(TBossKey::Available());
}

void TBossKeyTest::registersAndSeesItsKey() {
    TBossKey key;
    QSignalSpy activated(&key, &TBossKey::activated);
    // Ctrl+Alt+Z as the options window stores it.
    QVERIFY(key.Register(quint16('Z' + scCtrl + scAlt)));
    QVERIFY(key.IsRegistered());
    QCOMPARE(key.VirtualKey(), int('Z'));
    QCOMPARE(key.Modifiers(), MOD_CONTROL | MOD_ALT);
    const quint8 z = KeycodeOf('Z');
    QVERIFY(z != 0);
    // Num Lock and Caps Lock do not matter; other modifiers or keys are not the boss key.
    QVERIFY(Press(key, z, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK));
    QVERIFY(!Press(key, z, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_SHIFT));
    QVERIFY(!Press(key, z, XCB_MOD_MASK_CONTROL));
    QVERIFY(!Press(key, KeycodeOf('X'), XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1));
    QCOMPARE(activated.count(), 1);
    // Registering again replaces the key; unregistering ends it.
    QVERIFY(key.Register(quint16(VK_F5 + scShift)));
    QVERIFY(!Press(key, z, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1));
    QVERIFY(Press(key, KeycodeOf(VK_F5), XCB_MOD_MASK_SHIFT));
    key.Unregister();
    QVERIFY(!key.IsRegistered());
    QVERIFY(!Press(key, KeycodeOf(VK_F5), XCB_MOD_MASK_SHIFT));
    QCOMPARE(activated.count(), 2);
}

void TBossKeyTest::valuesWithoutAKey() {
    TBossKey key;
    QVERIFY(!key.Register(quint16(0xFF + scCtrl)));
    QVERIFY(!key.Register(quint16(0x07)));
    QVERIFY(!key.IsRegistered());
}

void TBossKeyTest::windowHidesAndShows() {
    QTemporaryDir appDir;
    SetAppDir(appDir.path() + QStringLiteral("/"));
    TTestDb data;
    QVERIFY(data.Ok());
    TFormMain window(data.Db(), QStringLiteral("about:blank"));
    window.show();
    QVERIFY(!window.BossKey()->IsRegistered()); // TConfigKey::BossKeyEnabled is off by default
    window.Config().BossKeyEnabled = true;
    window.Config().BossKey = quint16('B' + scCtrl + scShift);
    QCoreApplication::postEvent(&window, new TMessageEvent(WM_BOSS_KEY_CHANGED));
    QTRY_VERIFY(window.BossKey()->IsRegistered());
    const quint8 b = KeycodeOf('B');
    QVERIFY(Press(*window.BossKey(), b, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT));
    QVERIFY(!window.isVisible());
    QVERIFY(Press(*window.BossKey(), b, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT));
    QVERIFY(window.isVisible());
    // Switched off in the options window: the next change unregisters it.
    window.Config().BossKeyEnabled = false;
    QCoreApplication::postEvent(&window, new TMessageEvent(WM_BOSS_KEY_CHANGED));
    QTRY_VERIFY(!window.BossKey()->IsRegistered());
    QVERIFY(!Press(*window.BossKey(), b, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT));
    window.close();
}

QUELLON_ENGINE_TEST_MAIN(TBossKeyTest)

#include "tst_BossKey.moc"
