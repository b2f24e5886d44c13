// The real main window under Xvfb, with pages from the test server: opening addresses, the tab
// keys of the hook and key 11, keys that pass through a page, full screen, the restore offer and
// Ctrl+Shift+T, the page log at exit, the options tab, skins, design texts and the right-anchored
// controls.
#include "browser/BrowserTab.h"
#include "browser/ChromiumView.h"
#include "browser/PageView.h"
#include "browser/TabController.h"
#include "common/Dialogs.h"
#include "history/History.h"
#include "history/PageLog.h"
#include "navigation/AddressBar.h"
#include "navigation/AddressEdit.h"
#include "navigation/SearchAddress.h"
#include "services/DomainAuth.h"
#include "shell/FormMain.h"
#include "shell/SkinStyle.h"
#include "storage/Config.h"
#include "support/TestDb.h"
#include "support/WindowTestKit.h"

#include "support/EngineTestMain.h"
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include <QtTest>
#include <memory>

namespace {
template <class T> T* Control(QWidget& window, const char* name) {
    return window.findChild<T*>(QLatin1String(name));
}

// Counts the events of one key that did not come from the window system: the keys a Chromium page
// did not use, which the engine hands back to the view's parent, and keys the program posts.
// With a receiver, only the events sent to it count.
class TSentKeys final : public QObject {
public:
    explicit TSentKeys(int key, QObject* receiver = nullptr) : m_key(key), m_receiver(receiver) {
        qApp->installEventFilter(this);
    }
    ~TSentKeys() override { qApp->removeEventFilter(this); }
    int Presses = 0;
    int Releases = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
        if (key && !event->spontaneous() && static_cast<QKeyEvent*>(event)->key() == m_key &&
            (!m_receiver || watched == m_receiver))
            ++(event->type() == QEvent::KeyPress ? Presses : Releases);
        return false;
    }

private:
    const int m_key;
    QObject* const m_receiver;
};

// The result of a script in the tab's Chromium page (invalid when it did not answer in time).
QVariant PageScript(TBrowserTab* tab, const QString& script) {
    auto answer = std::make_shared<std::pair<bool, QVariant>>(false, QVariant());
    tab->Browser->page()->runJavaScript(script, [answer](const QVariant& value) {
        answer->first = true;
        answer->second = value;
    });
    QElapsedTimer timer;
    timer.start();
    while (!answer->first && timer.elapsed() < LoadTimeout)
        QTest::qWait(20);
    return answer->second;
}

// A key pressed and released as the window system delivers it, with its time and its letter
// (QTest's events carry no time, and the Chromium engine hands back only keys that have one).
void SendKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    const bool letter = key >= Qt::Key_A && key <= Qt::Key_Z && !modifiers.testFlag(Qt::ControlModifier);
    const QString text = letter ? QString(QChar(key).toLower()) : QString();
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, key, modifiers, text);
        event.setTimestamp(ulong(clock.elapsed()) + 1);
        QSpontaneKeyEvent::setSpontaneous(&event);
        QApplication::instance()->notify(widget, &event);
    }
}

bool FillsWindow(QWidget& window, QWidget* widget) {
    return widget->isVisible() && widget->mapTo(&window, QPoint(0, 0)) == QPoint(0, 0) &&
           widget->size() == window.size();
}

} // namespace

class TFormMainTest final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void designTexts_data();
    void designTexts();
    void openingAnAddress();
    void tabKeys();
    void hookOffWithKey11();
    void keysThePageLeavesActOnce();
    void altDTakesTheAddressBar();
    void upAndDownOutsideThePage();
    void fullScreenShowsTheCurrentTab();
    void closingTheOnlyTabClosesTheWindow();
    void pageLogAtExit();
    void restoreOffer();
    void noOfferWithStartModeOneOrCommandLine();
    void reopenClosedWalk();
    void optionsTab();
    void searchOpensNewTab();
    void skinSquareStoresKey1();
    void wideningKeepsRightAnchoredControls();
    void droppingFilesOpensTheFirst();
    void siteBadges();

private:
    QString Url(const QString& name) const { return m_site->Url(name); }
    void Press(TFormMain& window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Opens a page with this title in the current tab and gives it the keyboard.
    TBrowserTab* OpenFocused(TFormMain& window, const QString& name, const QString& title);
    // The form page: its text field has the keyboard.
    TBrowserTab* OpenForm(TFormMain& window) {
        return OpenFocused(window, QStringLiteral("form"), QStringLiteral("Form"));
    }

    std::unique_ptr<TWindowTestSite> m_site;
};

void TFormMainTest::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    m_site = std::make_unique<TWindowTestSite>(QStringList{"a", "b", "c", "d", "quote'page"});
    QVERIFY2(m_site->ErrorText().isEmpty(), qPrintable(m_site->ErrorText()));
    // The navigation page of new tabs, as the program folder carries it.
    QDir().mkpath(m_site->AppDir() + QStringLiteral("/res/site"));
    QFile navigation(m_site->AppDir() + QStringLiteral("/res/site/123.html"));
    QVERIFY(navigation.open(QIODevice::WriteOnly));
    navigation.write(PageHtml(QStringLiteral("导航")));
    navigation.close();
    // A tall page, and one with a text field that has the keyboard once loaded.
    QVERIFY(m_site->Server().WriteFile(
        QStringLiteral("long.html"),
        QByteArrayLiteral("<!DOCTYPE html><html><head><title>Long</title></head>"
                          "<body><div style=\"height:6000px\"></div></body></html>")));
    QVERIFY(m_site->Server().WriteFile(
        QStringLiteral("form.html"),
        QByteArrayLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Form</title></head>"
                          "<body><input id=\"field\" value=\"abc\" autofocus>"
                          "<div style=\"height:6000px\"></div></body></html>")));
    TTabController::SetMsgBoxFunction([](const QString&, int) { return int(IDOK); });
}

void TFormMainTest::cleanup() {
    CloseMainWindows();
}

void TFormMainTest::Press(TFormMain& window, int key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(Control<QWidget>(window, "EditUrl"), Qt::Key(key), modifiers);
}

void TFormMainTest::designTexts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("size");
    QTest::newRow("back") << "bsSkinSpeedButtonBack"
                          << "后退"
                          << "" << QSize(24, 24);
    QTest::newRow("forward") << "bsSkinSpeedButtonForward"
                             << "前进"
                             << "" << QSize(24, 24);
    QTest::newRow("refresh") << "bsSkinSpeedButtonRefresh"
                             << "刷新"
                             << "" << QSize(24, 24);
    QTest::newRow("stop") << "bsSkinSpeedButtonStop"
                          << "停止"
                          << "" << QSize(24, 24);
    QTest::newRow("home") << "bsSkinSpeedButtonHome"
                          << "访问主页"
                          << "" << QSize(24, 24);
    QTest::newRow("skin") << "bsSkinSpeedButtonChangeSkin"
                          << "换肤"
                          << "" << QSize(24, 24);
    QTest::newRow("min") << "bsSkinSpeedButtonMin"
                         << "最小化"
                         << "" << QSize(24, 24);
    QTest::newRow("close") << "bsSkinSpeedButtonClose"
                           << "关闭"
                           << "" << QSize(24, 24);
    QTest::newRow("go") << "bsSkinSpeedButtonOpenUrl"
                        << "打开网址"
                        << "" << QSize(23, 24);
    QTest::newRow("kernel") << "ImageKernel"
                            << "Chrome内核：安全的默认内核，持续获得安全更新。点击切换到兼容内核（ie内核）"
                            << "" << QSize();
    QTest::newRow("add favorite") << "ImageFavAdd"
                                  << "添加到收藏夹"
                                  << "" << QSize();
    QTest::newRow("favorites") << "SpeedButtonFav"
                               << ""
                               << "收藏" << QSize(60, 24);
    QTest::newRow("game") << "SpeedButtonGame"
                          << ""
                          << "游戏" << QSize(55, 25);
    QTest::newRow("screenshot") << "SpeedButtonScreenshot"
                                << ""
                                << "截图" << QSize(55, 25);
    QTest::newRow("download") << "bsSkinSpeedButtonDownload"
                              << ""
                              << "下载" << QSize(58, 22);
    QTest::newRow("speed") << "bsSkinSpeedButtonSpeed"
                           << ""
                           << "加速" << QSize(58, 22);
    QTest::newRow("yes") << "bsSkinButtonYes"
                         << ""
                         << "是" << QSize(54, 25);
    QTest::newRow("no") << "bsSkinButtonNo"
                        << ""
                        << "否" << QSize(54, 25);
    QTest::newRow("scale") << "LabelScale"
                           << ""
                           << "100%" << QSize();
    QTest::newRow("offer link") << "LabelAd"
                                << "https://www.vip.com/"
                                << "今日特卖" << QSize();
}

void TFormMainTest::designTexts() {
    QFETCH(QString, name);
    QFETCH(QString, hint);
    QFETCH(QString, caption);
    QFETCH(QSize, size);
    TTestDb data;
    QVERIFY(data.Ok());
    auto window = OpenWindow(data.Db());
    auto* control = window->findChild<QWidget*>(name);
    QVERIFY2(control, qPrintable(name));
    QCOMPARE(control->toolTip(), hint);
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        QCOMPARE(button->text(), caption);
    else if (auto* label = qobject_cast<QLabel*>(control))
        QCOMPARE(label->text(), caption);
    if (size.isValid())
        QCOMPARE(control->size(), size);
    // Refresh and stop never show together; the badges stay hidden with an empty identity store.
    QVERIFY(Control<QWidget>(*window, "bsSkinSpeedButtonRefresh")->isVisible() !=
            Control<QWidget>(*window, "bsSkinSpeedButtonStop")->isVisible());
    QVERIFY(!Control<QWidget>(*window, "bsSkinPanelSafe")->isVisible());
    QVERIFY(!Control<QWidget>(*window, "bsSkinPanelDangerWebsite")->isVisible());
    QVERIFY(!Control<QWidget>(*window, "PanelConfirm")->isVisible());
}

void TFormMainTest::openingAnAddress() {
    TTestDb data;
    auto window = OpenWindow(data.Db());
    auto* edit = Control<TAddressEdit>(*window, "EditUrl");
    QCOMPARE(window->Tabs()->CurrentTab()->Caption, QStringLiteral("导航"));
    edit->setText(QStringLiteral("  ") + Url(QStringLiteral("a")) + QStringLiteral(" "));
    QTest::keyClick(edit, Qt::Key_Return);
    TBrowserTab* tab = window->CurrentTab();
    QTRY_COMPARE_WITH_TIMEOUT(tab->Caption, QStringLiteral("Page a"), LoadTimeout);
    QTRY_COMPARE(window->windowTitle(), QStringLiteral("Page a - Quellon 1.0.0.0"));
    QCOMPARE(Control<QLabel>(*window, "LabelTitle")->text(), window->windowTitle());
    QTRY_COMPARE(edit->text(), Url(QStringLiteral("a")));
    QCOMPARE(tab->PageUrl, Url(QStringLiteral("a")));
    QCOMPARE(window->Tabs()->TabCount(), 1);
    const THistoryInfoList rows = window->History()->FindHistoryByUrl(QStringLiteral("/a"));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().SiteUrl, Url(QStringLiteral("a")));
    // Typing part of it offers the visited address.
    edit->setFocus();
    edit->setText(QString());
    QTest::keyClicks(edit, QStringLiteral("127"));
    auto* list = Control<QListWidget>(*window, "bsSkinListBoxHistory");
    QVERIFY(list->isVisible());
    QVERIFY(list->findItems(Url(QStringLiteral("a")), Qt::MatchExactly).size() == 1);
    // A press elsewhere hides the list.
    QTest::mouseClick(Control<QWidget>(*window, "bsSkinPanelStatus"), Qt::LeftButton);
    QVERIFY(!list->isVisible());
}

void TFormMainTest::tabKeys() {
    TTestDb data;
    auto window = OpenWindow(data.Db());
    TTabController* tabs = window->Tabs();
    Press(*window, Qt::Key_T, Qt::ControlModifier);
    Press(*window, Qt::Key_T, Qt::ControlModifier);
    QCOMPARE(tabs->TabCount(), 3);
    QCOMPARE(tabs->CurrentIndex(), 2);
    Press(*window, Qt::Key_Tab, Qt::ControlModifier); // after the last: the first
    QCOMPARE(tabs->CurrentIndex(), 0);
    Press(*window, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier); // before the first: the last
    QCOMPARE(tabs->CurrentIndex(), 2);
    Press(*window, Qt::Key_2, Qt::ControlModifier);
    QCOMPARE(tabs->CurrentIndex(), 1);
    Press(*window, Qt::Key_9, Qt::ControlModifier); // no ninth tab
    QCOMPARE(tabs->CurrentIndex(), 1);
    Press(*window, Qt::Key_W, Qt::ControlModifier);
    QTRY_COMPARE(tabs->TabCount(), 2);
    QVERIFY(window->isVisible());
    // The menu reaches the same commands.
    window->findChild<QAction*>(QStringLiteral("NNewTab"))->trigger();
    QCOMPARE(tabs->TabCount(), 3);
}

void TFormMainTest::hookOffWithKey11() {
    TTestDb data;
    auto window = OpenWindow(data.Db());
    window->Config().DisableShortcuts = true;
    TTabController* tabs = window->Tabs();
    Press(*window, Qt::Key_T, Qt::ControlModifier);
    Press(*window, Qt::Key_F11);
    Press(*window, Qt::Key_W, Qt::ControlModifier);
    QTest::qWait(400);
    QCOMPARE(tabs->TabCount(), 1);
    QVERIFY(!window->IsFullScreenMode());
    window->findChild<QAction*>(QStringLiteral("NNewTab"))->trigger();
    QCOMPARE(tabs->TabCount(), 2);
    // The borders still resize the frameless window: only the key rows are switched off.
    window->RestoreWindow();
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 300), window->mapToGlobal(QPoint(2, 300)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &move);
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::SizeHorCursor);
    QMouseEvent inside(QEvent::MouseMove, QPointF(300, 300), window->mapToGlobal(QPoint(300, 300)),
                       Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &inside);
    QVERIFY(!QApplication::overrideCursor());
    // Switched on again, the keys act.
    window->Config().DisableShortcuts = false;
    Press(*window, Qt::Key_T, Qt::ControlModifier);
    QCOMPARE(tabs->TabCount(), 3);
    Press(*window, Qt::Key_F11);
    QVERIFY(window->IsFullScreenMode());
    QVERIFY(!Control<QWidget>(*window, "bsSkinPanelBottom")->isVisible());
    Press(*window, Qt::Key_Escape);
    QVERIFY(!window->IsFullScreenMode());
    QVERIFY(Control<QWidget>(*window, "bsSkinPanelBottom")->isVisible());
    QVERIFY(window->CurrentTab()->View()->Widget()->parentWidget() == window->CurrentTab()->Page);
}

TBrowserTab* TFormMainTest::OpenFocused(TFormMain& window, const QString& name, const QString& title) {
    window.OpenInCurrentTab(Url(name));
    TBrowserTab* tab = window.CurrentTab();
    if (!QTest::qWaitFor([tab, title] { return tab->Caption == title; }, LoadTimeout) || !WaitIdle(tab))
        return nullptr;
    PageInput(tab)->setFocus();
    return QTest::qWaitFor([tab] { return PageInput(tab)->hasFocus(); }) ? tab : nullptr;
}

void TFormMainTest::keysThePageLeavesActOnce() {
    TTestDb data;
    auto window = OpenWindow(data.Db());
    for (const char* name : {"a", "b"}) {
        window->OpenInCurrentTab(Url(QLatin1String(name)));
        QTRY_COMPARE_WITH_TIMEOUT(window->CurrentTab()->Caption,
                                  QStringLiteral("Page ") + QLatin1String(name), LoadTimeout);
    }
    TBrowserTab* form = OpenForm(*window);
    QVERIFY(form);
    // The page does not use Alt+Left (acted on when pressed) or F11 (acted on when released) and
    // hands each back to the window, where the hook has acted on the key already.
    {
        TSentKeys returned(Qt::Key_Left);
        SendKey(PageInput(form), Qt::Key_Left, Qt::AltModifier);
        QTRY_VERIFY_WITH_TIMEOUT(returned.Presses > 0, LoadTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(window->CurrentTabAddress() != Url(QStringLiteral("form")) && WaitIdle(form),
                                 LoadTimeout);
        QCOMPARE(window->CurrentTabAddress(), Url(QStringLiteral("b"))); // one page back, not two
    }
    PageInput(form)->setFocus();
    {
        TSentKeys returned(Qt::Key_F11);
        SendKey(PageInput(form), Qt::Key_F11);
        QTRY_VERIFY_WITH_TIMEOUT(returned.Releases > 0, LoadTimeout);
        QVERIFY(window->IsFullScreenMode());
    }
}

void TFormMainTest::altDTakesTheAddressBar() {
    TTestDb data;
    auto window = OpenWindow(data.Db());
    TBrowserTab* form = OpenForm(*window);
    QVERIFY(form);
    auto* edit = Control<TAddressEdit>(*window, "EditUrl");
    auto* list = Control<QListWidget>(*window, "bsSkinListBoxHistory");
    // From a text field of the page: no letter typed there, the whole address selected, no list.
    SendKey(PageInput(form), Qt::Key_D, Qt::AltModifier);
    QTRY_VERIFY(edit->hasFocus());
    QCOMPARE(edit->selectedText(), Url(QStringLiteral("form")));
    QCOMPARE(PageScript(form, QStringLiteral("document.getElementById('field').value")).toString(),
             QStringLiteral("abc"));
    // Again with the bar focused, Alt let go before the letter (as a quick hand does).
    QTest::keyPress(edit, Qt::Key_D, Qt::AltModifier);
    QTest::keyRelease(edit, Qt::Key_D, Qt::NoModifier);
    QCOMPARE(edit->text(), Url(QStringLiteral("form")));
    QCOMPARE(edit->selectedText(), edit->text());
    QVERIFY(!list->isVisible());
}

void TFormMainTest::upAndDownOutsideThePage() {
    TTestDb data;
    auto window = OpenWindow(data.Db());
    TBrowserTab* form = OpenFocused(*window, QStringLiteral("long"), QStringLiteral("Long"));
    QVERIFY(form);
    auto* edit = Control<TAddressEdit>(*window, "EditUrl");
    auto* search = Control<QLineEdit>(*window, "EditSearch");
    // From the search box: the page scrolls by one line, and only once.
    search->setFocus();
    QTRY_VERIFY(search->hasFocus());
    {
        TSentKeys posted(Qt::Key_Down, PageInput(form));
        SendKey(search, Qt::Key_Down);
        QTRY_VERIFY_WITH_TIMEOUT(PageScript(form, QStringLiteral("window.scrollY")).toInt() > 0, LoadTimeout);
        QTest::qWait(300);
        QCOMPARE(posted.Presses, 1);
        QVERIFY(search->hasFocus());
    }
    // From the address bar nothing is posted and the keyboard stays in the bar.
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    {
        TSentKeys posted(Qt::Key_Down, PageInput(form));
        QTest::keyClick(edit, Qt::Key_Down);
        QTest::qWait(100);
        QCOMPARE(posted.Presses, 0);
        QVERIFY(edit->hasFocus());
    }
    // A compatibility page takes the keyboard from the search box, never from the address bar.
    window->OpenInNewTab(Url(QStringLiteral("a")), kWebControl);
    TBrowserTab* compatible = window->CurrentTab();
    QCOMPARE(compatible->Kernel, kWebControl); // the module is built with the program
    QVERIFY(WaitIdle(compatible));
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    QTest::keyClick(edit, Qt::Key_Up);
    QVERIFY(edit->hasFocus());
    search->setFocus();
    QTRY_VERIFY(search->hasFocus());
    QTest::keyClick(search, Qt::Key_Up);
    QWidget* control = compatible->View()->Widget();
    QTRY_VERIFY(control->hasFocus() || control->isAncestorOf(QApplication::focusWidget()));
}

void TFormMainTest::fullScreenShowsTheCurrentTab() {
    TTestDb data;
    auto window = OpenWindow(data.Db());
    TTabController* tabs = window->Tabs();
    window->OpenInCurrentTab(Url(QStringLiteral("a")));
    QTRY_COMPARE_WITH_TIMEOUT(window->CurrentTab()->Caption, QStringLiteral("Page a"), LoadTimeout);
    auto* list = Control<QListWidget>(*window, "bsSkinListBoxHistory");
    window->AddressBar()->FillSuggestions(QStringLiteral("127"));
    QVERIFY(list->isVisible());
    Press(*window, Qt::Key_F11);
    QVERIFY(window->IsFullScreenMode());
    QVERIFY(!list->isVisible());
    for (const char* row : {"bsSkinPanelTop", "bsSkinPanelExt", "bsSkinPanelBottom", "PageControl1"})
        QVERIFY2(!Control<QWidget>(*window, row)->isVisible(), row);
    QTRY_VERIFY(FillsWindow(*window, window->CurrentTab()->View()->Widget()));
    // A tab opened now is the one on screen, also after the window changed size.
    window->OpenInNewTab(Url(QStringLiteral("b")));
    TBrowserTab* second = window->CurrentTab();
    QTRY_COMPARE_WITH_TIMEOUT(second->Caption, QStringLiteral("Page b"), LoadTimeout);
    QVERIFY(window->IsFullScreenMode());
    QTRY_VERIFY(FillsWindow(*window, second->View()->Widget()));
    window->resize(window->width() - 200, window->height() - 100);
    QTRY_VERIFY(FillsWindow(*window, second->View()->Widget()));
    // Closing closes the tab on screen and shows the next; no view is left over as a window.
    tabs->CloseCurrentTab();
    QTRY_COMPARE(tabs->TabCount(), 1);
    QVERIFY(window->IsFullScreenMode());
    QTRY_VERIFY(FillsWindow(*window, window->CurrentTab()->View()->Widget()));
    QCOMPARE(window->CurrentTab()->Caption, QStringLiteral("Page a"));
    for (QWidget* widget : QApplication::topLevelWidgets())
        QVERIFY2(widget == window.get() || !widget->isVisible(), widget->metaObject()->className());
    // Esc brings the rows back around the page.
    QTest::keyClick(window->CurrentTab()->View()->Widget(), Qt::Key_Escape);
    QVERIFY(!window->IsFullScreenMode());
    QVERIFY(Control<QWidget>(*window, "PageControl1")->isVisible());
    QWidget* view = window->CurrentTab()->View()->Widget();
    QCOMPARE(view->parentWidget(), window->CurrentTab()->Page);
    QVERIFY(view->mapTo(window.get(), QPoint(0, 0)).y() > 55);
}

void TFormMainTest::closingTheOnlyTabClosesTheWindow() {
    TTestDb data;
    auto window = OpenWindow(data.Db());
    QCOMPARE(window->Tabs()->TabCount(), 1);
    Press(*window, Qt::Key_W, Qt::ControlModifier);
    QTRY_VERIFY(!window->isVisible());
    QVERIFY(window->Closing);
}

void TFormMainTest::pageLogAtExit() {
    TTestDb data;
    auto window = OpenWindow(data.Db());
    window->OpenInCurrentTab(Url(QStringLiteral("a")));
    QTRY_COMPARE_WITH_TIMEOUT(window->CurrentTab()->Caption, QStringLiteral("Page a"), LoadTimeout);
    window->OpenInNewTab(QStringLiteral("about:blank"));
    window->OpenInNewTab(Url(QStringLiteral("quote'page")));
    QTRY_COMPARE_WITH_TIMEOUT(window->CurrentTab()->Caption, QStringLiteral("Page quote'page"), LoadTimeout);
    window->OpenInCurrentTab(QStringLiteral("about:config")); // the options page is never logged
    QTRY_COMPARE(window->CurrentTab()->Kernel, int(kOptionsPage));
    window->close();
    QCOMPARE(window->Tabs(), nullptr);
    QVERIFY(data.Db().Open(data.FilePath()));
    QCOMPARE(StoredPageLog(data.Db()),
             QStringList({Url(QStringLiteral("a")), Url(QStringLiteral("quote'page"))}));
}

void TFormMainTest::restoreOffer() {
    TTestDb data;
    TPageLog log(data.Db());
    QVERIFY(log.SavePageLog(
        {{Url(QStringLiteral("a"))}, {Url(QStringLiteral("b"))}, {Url(QStringLiteral("c"))}}));
    auto window = OpenWindow(data.Db());
    auto* panel = Control<QWidget>(*window, "PanelConfirm");
    QVERIFY(panel->isVisible());
    QVERIFY(panel->findChild<QLabel*>()->text() == QStringLiteral("是否恢复上次访问记录？"));
    Control<QPushButton>(*window, "bsSkinButtonYes")->click();
    QVERIFY(!panel->isVisible());
    TTabController* tabs = window->Tabs();
    QTRY_COMPARE_WITH_TIMEOUT(tabs->TabCount(), 3, LoadTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(tabs->TabAt(0)->Caption, QStringLiteral("Page a"), LoadTimeout);
    // The others wait asleep, with their address, and load once shown.
    QCOMPARE(tabs->TabAt(1)->Sleep, TTabSleep::Unloaded);
    QCOMPARE(tabs->TabAt(2)->CurrentUrl(), Url(QStringLiteral("c")));
    tabs->SetCurrentIndex(1);
    tabs->SetCurrentIndex(2);
    QTRY_COMPARE_WITH_TIMEOUT(tabs->TabAt(1)->Caption, QStringLiteral("Page b"), LoadTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(tabs->TabAt(2)->Caption, QStringLiteral("Page c"), LoadTimeout);
    // The log stays as it was until the next closing.
    QCOMPARE(log.CountPageLog(), 3);

    // With the options page current, the first address gets a tab of its own instead of being lost.
    TTestDb options;
    QVERIFY(TPageLog(options.Db()).SavePageLog({{Url(QStringLiteral("c"))}, {Url(QStringLiteral("d"))}}));
    auto optionsWindow = OpenWindow(options.Db());
    optionsWindow->OpenInCurrentTab(QStringLiteral("about:config"));
    QCOMPARE(optionsWindow->CurrentTab()->Kernel, int(kOptionsPage));
    Control<QPushButton>(*optionsWindow, "bsSkinButtonYes")->click();
    QCOMPARE(optionsWindow->Tabs()->TabCount(), 4);
    QTRY_COMPARE_WITH_TIMEOUT(optionsWindow->Tabs()->TabAt(2)->Caption, QStringLiteral("Page c"),
                              LoadTimeout);
    optionsWindow->Tabs()->SetCurrentIndex(3);
    QTRY_COMPARE_WITH_TIMEOUT(optionsWindow->Tabs()->TabAt(3)->Caption, QStringLiteral("Page d"),
                              LoadTimeout);
    optionsWindow->close();

    // "否" only hides the bar.
    TTestDb second;
    QVERIFY(TPageLog(second.Db()).SavePageLog({{Url(QStringLiteral("d"))}}));
    auto other = OpenWindow(second.Db());
    QVERIFY(Control<QWidget>(*other, "PanelConfirm")->isVisible());
    Control<QPushButton>(*other, "bsSkinButtonNo")->click();
    QVERIFY(!Control<QWidget>(*other, "PanelConfirm")->isVisible());
    QTest::qWait(300);
    QCOMPARE(other->Tabs()->TabCount(), 1);
}

void TFormMainTest::noOfferWithStartModeOneOrCommandLine() {
    TTestDb data;
    QVERIFY(TPageLog(data.Db()).SavePageLog({{Url(QStringLiteral("a"))}}));
    {
        TConfig config(data.Db());
        QVERIFY(config.SetValue(TConfigKey::StartMode, QStringLiteral("1")));
    }
    auto window = OpenWindow(data.Db());
    QVERIFY(!Control<QWidget>(*window, "PanelConfirm")->isVisible());
    window->close();

    TTestDb second;
    QVERIFY(TPageLog(second.Db()).SavePageLog({{Url(QStringLiteral("a"))}}));
    auto started = OpenWindow(second.Db(), Url(QStringLiteral("b")));
    QVERIFY(!Control<QWidget>(*started, "PanelConfirm")->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(started->CurrentTab()->Caption, QStringLiteral("Page b"), LoadTimeout);
    QCOMPARE(started->Tabs()->TabCount(), 1); // no navigation page besides the given address
}

void TFormMainTest::reopenClosedWalk() {
    TTestDb data;
    // Three pages closed a minute apart: the walk goes newest first.
    QDateTime clock = QDateTime::currentDateTime().addSecs(-600);
    THistory history(data.Db(), [&clock] { return clock; });
    for (const char* name : {"a", "b", "c"}) {
        THistoryInfo closed;
        closed.SiteName = QLatin1String(name);
        closed.SiteUrl = Url(QLatin1String(name));
        closed.IsClose = true;
        QVERIFY(history.AddVisit(closed));
        clock = clock.addSecs(60);
    }
    auto window = OpenWindow(data.Db());
    TTabController* tabs = window->Tabs();
    for (const char* name : {"c", "b", "a"}) {
        Press(*window, Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
        QTRY_COMPARE_WITH_TIMEOUT(window->CurrentTabAddress(), Url(QLatin1String(name)), LoadTimeout);
    }
    const int count = tabs->TabCount();
    Press(*window, Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier); // the walk is used up
    QCOMPARE(tabs->TabCount(), count);
    // Closing another tab starts the walk again from that page.
    tabs->SetCurrentIndex(0);
    const QString closing = window->CurrentTabAddress();
    Press(*window, Qt::Key_W, Qt::ControlModifier);
    QTRY_COMPARE(tabs->TabCount(), count - 1);
    Press(*window, Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
    QTRY_COMPARE_WITH_TIMEOUT(window->CurrentTabAddress(), closing, LoadTimeout);
}

void TFormMainTest::optionsTab() {
    TTestDb data;
    auto window = OpenWindow(data.Db());
    auto* edit = Control<TAddressEdit>(*window, "EditUrl");
    edit->setText(QStringLiteral("  ABOUT:CONFIG "));
    QTest::keyClick(edit, Qt::Key_Return);
    TBrowserTab* options = window->CurrentTab();
    QCOMPARE(options->Kernel, int(kOptionsPage));
    QCOMPARE(options->Caption, QStringLiteral("选项设置"));
    QCOMPARE(edit->text(), QStringLiteral("about:config"));
    const int count = window->Tabs()->TabCount();
    window->Tabs()->SetCurrentIndex(0);
    window->findChild<QAction*>(QStringLiteral("NOption"))->trigger(); // the same tab again
    QCOMPARE(window->Tabs()->TabCount(), count);
    QCOMPARE(window->CurrentTab(), options);
    edit->setText(QStringLiteral("typed"));
    QTest::keyClick(edit, Qt::Key_Escape);
    QCOMPARE(edit->text(), QStringLiteral("about:config"));
}

void TFormMainTest::searchOpensNewTab() {
    // The engine's address on the test's own server: nothing is looked up outside.
    qputenv("QUELLON_SEARCH_BAIDU", m_site->Server().Url(QString()).toUtf8());
    struct TUnset {
        ~TUnset() { qunsetenv("QUELLON_SEARCH_BAIDU"); }
    } unset;
    TTestDb data;
    auto window = OpenWindow(data.Db());
    auto* search = Control<QLineEdit>(*window, "EditSearch");
    QCOMPARE(search->text(), QStringLiteral("www.jd.com")); // the hint of the start-up settings
    search->setFocus();
    QTRY_VERIFY(search->text().isEmpty());
    search->setText(QStringLiteral("中文 a"));
    QTest::keyClick(search, Qt::Key_Return);
    QCOMPARE(window->Tabs()->TabCount(), 2);
    QCOMPARE(window->Tabs()->CurrentIndex(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(QUrl(window->CurrentTabAddress()),
                              QUrl(SearchEngineAddress(3, QStringLiteral("中文 a"))), LoadTimeout);
}

void TFormMainTest::skinSquareStoresKey1() {
    TTestDb data;
    auto window = OpenWindow(data.Db());
    Control<QToolButton>(*window, "bsSkinSpeedButtonChangeSkin")->click();
    auto* panel = Control<QWidget>(*window, "bsSkinPanelChangeSkin");
    QVERIFY(panel->isVisible());
    Control<QToolButton>(*window, "Shape6")->click();
    QVERIFY(!panel->isVisible());
    QCOMPARE(window->SkinIndex(), 5);
    QCOMPARE(window->Config().GetValue(TConfigKey::Skin), QStringLiteral("5"));
    // 14606055 is 0x00DEDEE7: red E7, green DE, blue DE.
    QCOMPARE(TSkinStyle::SkinColor(5), QColor(0xE7, 0xDE, 0xDE));
    QVERIFY(window->styleSheet().contains(QStringLiteral("#e7dede")));
    window->close();
    // The next start applies the stored colour.
    QVERIFY(data.Db().Open(data.FilePath()));
    auto again = OpenWindow(data.Db());
    QCOMPARE(again->SkinIndex(), 5);
}

void TFormMainTest::wideningKeepsRightAnchoredControls() {
    TTestDb data;
    auto window = OpenWindow(data.Db());
    window->RestoreWindow();
    const char* const anchored[] = {"PanelSearch",
                                    "bsSkinPanelOpenUrl",
                                    "bsSkinPanelExtTool",
                                    "bsSkinSpeedButtonDownload",
                                    "bsSkinSpeedButtonSpeed",
                                    "LabelScale",
                                    "bsSkinSpeedButtonClose"};
    const char* const stretching[] = {"PanelUrl", "bsSkinToolBarFav", "bsSkinPanelStatus"};
    auto rightGap = [&](const char* name) {
        QWidget* control = Control<QWidget>(*window, name);
        return window->width() - control->mapTo(window.get(), QPoint(control->width(), 0)).x();
    };
    window->resize(900, 600);
    QTRY_COMPARE(window->width(), 900);
    QMap<QString, int> gaps, widths;
    for (const char* name : anchored)
        gaps[QLatin1String(name)] = rightGap(name);
    for (const char* name : stretching)
        widths[QLatin1String(name)] = Control<QWidget>(*window, name)->width();
    window->resize(1300, 600);
    QTRY_COMPARE(window->width(), 1300);
    for (const char* name : anchored)
        QCOMPARE(rightGap(name), gaps[QLatin1String(name)]);
    for (const char* name : stretching)
        QVERIFY2(Control<QWidget>(*window, name)->width() >= widths[QLatin1String(name)] + 350, name);
}

void TFormMainTest::droppingFilesOpensTheFirst() {
    TTestDb data;
    auto window = OpenWindow(data.Db());
    QTemporaryDir folder;
    QFile first(folder.filePath(QStringLiteral("first.html")));
    QVERIFY(first.open(QIODevice::WriteOnly));
    first.write(PageHtml(QStringLiteral("Dropped first")));
    first.close();
    // Dropped on the status bar, as the window system delivers a drop: enter, then drop.
    const QPoint point = Control<QWidget>(*window, "LabelStatus")->mapTo(window.get(), QPoint(2, 2));
    DropUrls(window->windowHandle(), point,
             {QUrl::fromLocalFile(first.fileName()), QUrl::fromLocalFile(folder.filePath("second.html"))});
    QCOMPARE(window->Tabs()->TabCount(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(window->CurrentTab()->Caption, QStringLiteral("Dropped first"), LoadTimeout);
    // A drop without a file opens a blank tab.
    DropUrls(window->windowHandle(), point, {QUrl(QStringLiteral("http://not-a-file.example/"))});
    QCOMPARE(window->Tabs()->TabCount(), 3);
    QCOMPARE(window->CurrentTabAddress(), QStringLiteral("about:blank"));
}

void TFormMainTest::siteBadges() {
    TTestDb data;
    auto window = OpenWindow(data.Db());
    auto* safe = Control<QWidget>(*window, "bsSkinPanelSafe");
    auto* danger = Control<QWidget>(*window, "bsSkinPanelDangerWebsite");
    auto* name = Control<QLabel>(*window, "LabelSafeName");
    window->DomainAuth().Fill(
        {{QStringLiteral("http://example.com.cn/"), QStringLiteral("一个很长的认证网站名称")}},
        {QStringLiteral("bad.example.org"), QStringLiteral("example.com.cn")});
    // Certified wins over flagged; a sub-domain finds its registrable domain.
    window->RefreshSiteBadge(QStringLiteral("https://www.shop.example.com.cn/item"));
    QVERIFY(safe->isVisible());
    QVERIFY(Control<QWidget>(*window, "ImageSafe")->isVisible());
    QVERIFY(!danger->isVisible());
    QCOMPARE(name->text(), QStringLiteral("一个很长的认证网站名称"));
    QCOMPARE(safe->width(), name->fontMetrics().horizontalAdvance(name->text()) + 10 + 54);
    window->RefreshSiteBadge(QStringLiteral("http://BAD.example.org/"));
    QVERIFY(danger->isVisible());
    QVERIFY(!safe->isVisible());
    QVERIFY(name->text().isEmpty());
    // The options page hides both without a lookup.
    window->RefreshSiteBadge(QString());
    QVERIFY(!danger->isVisible() && !safe->isVisible());
}

QUELLON_ENGINE_TEST_MAIN(TFormMainTest)

#include "tst_FormMain.moc"
