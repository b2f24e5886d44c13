// The address bar and the search box as the user drives them: keys in EditUrl, the suggestion
// list, the select-all click rule, the go button, the search hint and the engine menu.
#include "BuildConfig.h"
#include "navigation/AddressBar.h"
#include "navigation/AddressEdit.h"
#include "navigation/NavigationHost.h"
#include "navigation/SearchAddress.h"
#include "navigation/SearchBox.h"
#include "navigation/SuggestionList.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QInputMethodEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QtTest>

namespace {

// Records what the bar asks of its window.
class TFakeHost final : public TNavigationHost {
public:
    bool IsClosing() const override { return Closing; }
    bool HasCurrentTab() const override { return HasTab; }
    QString CurrentTabAddress() const override { return TabAddress; }
    void OpenInCurrentTab(const QString& address) override { Current.append(address); }
    void OpenInNewTab(const QString& address, int kernel) override {
        NewTabs.append(address);
        Kernels.append(kernel);
    }
    bool Closing = false;
    bool HasTab = true;
    QString TabAddress = QStringLiteral("http://tab.example/");
    QStringList Current;
    QStringList NewTabs;
    QList<int> Kernels;
};

// A window holding the bar's and the box's controls as the main window lays them out.
struct TFixture {
    TFakeHost Host;
    QWidget Window;
    QWidget* Panel = new QWidget(&Window);
    QLabel* Icon = new QLabel(Panel);
    TAddressEdit* Edit = new TAddressEdit(Panel);
    QToolButton* Go = new QToolButton(&Window);
    TSuggestionList* List = new TSuggestionList(&Window);
    QLineEdit* Search = new QLineEdit(&Window);
    QToolButton* EngineIcon = new QToolButton(&Window);
    QToolButton* SearchButton = new QToolButton(&Window);
    QLineEdit* Elsewhere = new QLineEdit(&Window);
    TAddressBar Bar{Host, Edit, List, Icon, Panel, Go};
    TSearchBox Box{Host, Search, EngineIcon, SearchButton};
    QStringList History;
    QHash<QString, QString> Titles;
    QStringList Asked;

    TFixture() {
        Icon->setFixedSize(16, 16);
        auto* panelRow = new QHBoxLayout(Panel);
        panelRow->addWidget(Icon);
        panelRow->addWidget(Edit);
        auto* row = new QHBoxLayout(&Window);
        row->addWidget(Panel, 1);
        for (QWidget* widget :
             {static_cast<QWidget*>(Go), static_cast<QWidget*>(EngineIcon), static_cast<QWidget*>(Search),
              static_cast<QWidget*>(SearchButton), static_cast<QWidget*>(Elsewhere)})
            row->addWidget(widget);
        Window.resize(900, 60);
        // The history answers like the store: the six newest addresses containing the text.
        Bar.SetSuggestionSource([this](const QString& text) {
            Asked.append(text);
            TSuggestionEntries found;
            for (const QString& url : History)
                if (url.contains(text, Qt::CaseInsensitive) && found.size() < 6)
                    found.append({url, Titles.value(url)});
            return found;
        });
        Window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&Window));
        // Xvfb has no window manager to activate the window; focus needs an active window.
        QApplication::setActiveWindow(&Window);
    }

    QStringList ListEntries() const {
        QStringList entries;
        for (int row = 0; row < List->count(); ++row)
            entries.append(List->item(row)->text());
        return entries;
    }
};

} // namespace

class TAddressBarTest final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void typingFillsRankedSuggestions();
    void entriesShowTheirTitles();
    void inputMethodCommitAndPasteRefill();
    void modifiersAndBackspaceLeaveTheList();
    void f4OnEmptyBarListsNewest();
    void upAndDownWrapAndWriteTheEntry();
    void enterOpensTrimmedText_data();
    void enterOpensTrimmedText();
    void wordsGoToTheChosenSearchEngine_data();
    void wordsGoToTheChosenSearchEngine();
    void withoutTabEnterDoesNothingAndEscOnlyHides();
    void escPutsTheTabAddressBack();
    void loadingPageLeavesTypedTextAlone();
    void releasesWithoutTheirPressLeaveTheList();
    void clickingASuggestionOpensIt();
    void firstClickSelectsAllUnlessDragged();
    void addressIconFollowsTheScheme();
    void searchHintRules();
    void searchEncodesWordsForTheEngine();
    void engineMenuChangesIconAndFocus();
    void nothingIsSearchedWhileClosing();
    void mailAddressGoesToTheDesktop();

public slots:
    // Stands in for the desktop's mail program.
    void OpenOnDesktop(const QUrl& url) { m_desktopUrls.append(url.toString()); }

private:
    QStringList m_desktopUrls;
};

void TAddressBarTest::typingFillsRankedSuggestions() {
    TFixture f;
    f.History = QStringList{QStringLiteral("http://zed.com/abc"), QStringLiteral("http://Abc.org/"),
                            QStringLiteral("http://mid.net/abc"), QStringLiteral("http://none.net/")};
    f.Edit->setFocus();
    QTest::keyClicks(f.Edit, QStringLiteral("abc"));
    QCOMPARE(f.Asked.last(), QStringLiteral("abc"));
    QVERIFY(f.List->isVisible());
    // In the order the history ranked them.
    QCOMPARE(f.ListEntries(),
             QStringList({QStringLiteral("http://zed.com/abc"), QStringLiteral("http://Abc.org/"),
                          QStringLiteral("http://mid.net/abc")}));
    // The list lies under the address field, as wide as it.
    QCOMPARE(f.List->width(), f.Panel->width());
    QVERIFY(f.List->y() >= f.Panel->mapTo(&f.Window, QPoint(0, f.Panel->height())).y());
}

// Each entry carries its page title as one line of text, drawn beside the address and cut with
// "…" when the row is too narrow; the address alone when there is no title.
void TAddressBarTest::entriesShowTheirTitles() {
    TFixture f;
    const QString zhihu = QStringLiteral("https://www.zhihu.com/");
    const QString title = QStringLiteral("知乎 - 有问题，就会有答案");
    f.History = QStringList{zhihu, QStringLiteral("http://zz.example/")};
    f.Titles.insert(zhihu, title + QStringLiteral("\n"));
    f.Edit->setFocus();
    QTest::keyClicks(f.Edit, QStringLiteral("z"));
    QCOMPARE(f.List->item(0)->text(), zhihu);
    QCOMPARE(f.List->item(0)->data(TSuggestionList::TitleRole).toString(), title);
    QVERIFY(f.List->item(1)->data(TSuggestionList::TitleRole).toString().isEmpty());
    const QFontMetrics metrics = f.List->fontMetrics();
    const auto wide = TSuggestionList::ElidedTexts(metrics, zhihu, title, 900);
    QCOMPARE(wide, qMakePair(zhihu, title));
    for (const QString& text : {title, QStringLiteral("A rather long English page title")}) {
        const int width = metrics.horizontalAdvance(zhihu) * 3 / 2;
        const auto narrow = TSuggestionList::ElidedTexts(metrics, zhihu, text, width);
        QVERIFY2(narrow.second.endsWith(QChar(0x2026)), qPrintable(narrow.second));
        QVERIFY(metrics.horizontalAdvance(narrow.first) + metrics.horizontalAdvance(narrow.second) <= width);
    }
    QCOMPARE(TSuggestionList::ElidedTexts(metrics, zhihu, QString(), 900), qMakePair(zhihu, QString()));
}

// Text that arrives without key releases of its own (an input method's commit, a paste by key
// or by the context menu) refills the list with the whole text; composing does not.
void TAddressBarTest::inputMethodCommitAndPasteRefill() {
    TFixture f;
    f.History = QStringList{QStringLiteral("http://zhihu.example/知乎"), QStringLiteral("http://other.example/")};
    f.Edit->setFocus();
    QTest::keyClicks(f.Edit, QStringLiteral("other"));
    QCOMPARE(f.ListEntries(), QStringList{QStringLiteral("http://other.example/")});
    f.Edit->clear();
    const int asked = f.Asked.size();
    QInputMethodEvent composing(QStringLiteral("zhi"), {});
    QApplication::sendEvent(f.Edit, &composing);
    QCOMPARE(f.Asked.size(), asked);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("知乎"));
    QApplication::sendEvent(f.Edit, &commit);
    QCOMPARE(f.Asked.last(), QStringLiteral("知乎"));
    QCOMPARE(f.ListEntries(), QStringList{QStringLiteral("http://zhihu.example/知乎")});

    QApplication::clipboard()->setText(QStringLiteral("other"));
    f.Edit->selectAll();
    QTest::keySequence(f.Edit, QKeySequence::Paste);
    QCOMPARE(f.Asked.last(), QStringLiteral("other"));
    QCOMPARE(f.ListEntries(), QStringList{QStringLiteral("http://other.example/")});
    QApplication::clipboard()->setText(QStringLiteral("知"));
    f.Edit->selectAll();
    f.Edit->paste(); // the context menu's Paste
    QCOMPARE(f.Asked.last(), QStringLiteral("知"));
}

void TAddressBarTest::modifiersAndBackspaceLeaveTheList() {
    TFixture f;
    f.History = QStringList{QStringLiteral("http://ab.com/"), QStringLiteral("http://abc.com/")};
    f.Edit->setFocus();
    QTest::keyClicks(f.Edit, QStringLiteral("ab"));
    const int asked = f.Asked.size();
    QTest::keyClick(f.Edit, Qt::Key_C, Qt::ShiftModifier);
    QTest::keyClick(f.Edit, Qt::Key_Backspace);
    QTest::keyClick(f.Edit, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(f.Asked.size(), asked);
    QTest::keyClick(f.Edit, Qt::Key_C);
    QCOMPARE(f.Asked.size(), asked + 1);
    QCOMPARE(f.Asked.last(), f.Edit->text());
}

void TAddressBarTest::f4OnEmptyBarListsNewest() {
    TFixture f;
    for (int index = 0; index < 8; ++index)
        f.History.append(QStringLiteral("http://site%1.com/").arg(index));
    f.Edit->clear();
    f.Edit->setFocus();
    QTest::keyClick(f.Edit, Qt::Key_F4);
    QCOMPARE(f.Asked.last(), QString());
    QCOMPARE(f.List->count(), 6);
    // An answer without rows still shows the list, with no height.
    f.History.clear();
    QTest::keyClick(f.Edit, Qt::Key_F4);
    QVERIFY(f.List->isVisible());
    QCOMPARE(f.List->height(), 0);
}

void TAddressBarTest::upAndDownWrapAndWriteTheEntry() {
    TFixture f;
    f.History = QStringList{QStringLiteral("http://a.com/"), QStringLiteral("http://b.com/"),
                            QStringLiteral("http://c.com/")};
    f.Edit->setFocus();
    QTest::keyClick(f.Edit, Qt::Key_F4);
    QTest::keyClick(f.Edit, Qt::Key_Up); // nothing selected: the last entry
    QCOMPARE(f.Edit->text(), QStringLiteral("http://c.com/"));
    QTest::keyClick(f.Edit, Qt::Key_Down); // after the last: the first
    QCOMPARE(f.Edit->text(), QStringLiteral("http://a.com/"));
    QTest::keyClick(f.Edit, Qt::Key_Up); // before the first: the last
    QCOMPARE(f.Edit->text(), QStringLiteral("http://c.com/"));
    QTest::keyClick(f.Edit, Qt::Key_Up);
    QCOMPARE(f.Edit->text(), QStringLiteral("http://b.com/"));
    // A hidden list does not move.
    f.Bar.HideSuggestions();
    QTest::keyClick(f.Edit, Qt::Key_Down);
    QCOMPARE(f.Edit->text(), QStringLiteral("http://b.com/"));
}

void TAddressBarTest::enterOpensTrimmedText_data() {
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("newTab");
    QTest::newRow("enter") << int(Qt::NoModifier) << false;
    QTest::newRow("ctrl enter") << int(Qt::ControlModifier) << true;
    QTest::newRow("ctrl shift enter") << int(Qt::ControlModifier | Qt::ShiftModifier) << false;
}

void TAddressBarTest::enterOpensTrimmedText() {
    QFETCH(int, modifiers);
    QFETCH(bool, newTab);
    TFixture f;
    f.Edit->setText(QStringLiteral("  ABOUT:CONFIG  "));
    f.Edit->setFocus();
    QTest::keyClick(f.Edit, Qt::Key_F4);
    QTest::keyClick(f.Edit, Qt::Key_Return, Qt::KeyboardModifiers(modifiers));
    QVERIFY(!f.List->isVisible());
    const QStringList expected{QStringLiteral("ABOUT:CONFIG")};
    QCOMPARE(newTab ? f.Host.NewTabs : f.Host.Current, expected);
    QVERIFY((newTab ? f.Host.Current : f.Host.NewTabs).isEmpty());
    if (newTab)
        QCOMPARE(f.Host.Kernels, QList<int>{0});
}

void TAddressBarTest::wordsGoToTheChosenSearchEngine_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("address");
    for (const char* words : {"hello world", "hello", "中文", "天气 北京", "a.b c", "foo:bar"})
        QTest::newRow(words) << QString::fromUtf8(words) << false;
    for (const char* address :
         {"localhost:8080", "LOCALHOST", "127.0.0.1", "http://intranet", "about:config", "/home/u/a b.html",
          "file:///tmp/x.html", "example.com/文件.html", "printer:631", "[::1]:8080/", "中文.com"})
        QTest::newRow(address) << QString::fromUtf8(address) << true;
}

void TAddressBarTest::wordsGoToTheChosenSearchEngine() {
    QFETCH(QString, typed);
    QFETCH(bool, address);
    TFixture f;
    f.Bar.SetSearchBox(&f.Box);
    f.Box.SetSearchEngine(seGoogle);
    f.Edit->setText(QStringLiteral(" ") + typed + QStringLiteral(" "));
    f.Edit->setFocus();
    QTest::keyClick(f.Edit, Qt::Key_Return);
    QCOMPARE(f.Host.Current, QStringList(address ? typed : SearchEngineAddress(seGoogle, typed)));
    f.Go->click();
    QCOMPARE(f.Host.Current.last(), f.Host.Current.first());
}

void TAddressBarTest::withoutTabEnterDoesNothingAndEscOnlyHides() {
    TFixture f;
    f.Host.HasTab = false;
    f.History = QStringList{QStringLiteral("http://a.com/")};
    f.Edit->setText(QStringLiteral("a"));
    f.Edit->setFocus();
    QTest::keyClick(f.Edit, Qt::Key_F4);
    QTest::keyClick(f.Edit, Qt::Key_Return);
    QVERIFY(f.Host.Current.isEmpty());
    QVERIFY(f.List->isVisible()); // nothing at all happens without a tab
    QTest::keyClick(f.Edit, Qt::Key_Escape);
    QVERIFY(!f.List->isVisible());
    QCOMPARE(f.Edit->text(), QStringLiteral("a"));
}

void TAddressBarTest::escPutsTheTabAddressBack() {
    TFixture f;
    f.Host.TabAddress = QStringLiteral("about:config");
    f.Edit->setText(QStringLiteral("typed"));
    f.Edit->setFocus();
    QTest::keyClick(f.Edit, Qt::Key_Escape);
    QCOMPARE(f.Edit->text(), QStringLiteral("about:config"));
    QCOMPARE(f.Edit->selectedText(), QStringLiteral("about:config"));
}

void TAddressBarTest::loadingPageLeavesTypedTextAlone() {
    TFixture f;
    f.Bar.ShowAddress(QStringLiteral("http://loading.example/"));
    f.Edit->setFocus();
    f.Edit->selectAll();
    QTest::keyClicks(f.Edit, QStringLiteral("about:config"));
    // The loading page reports its address while the user types.
    f.Bar.ShowAddress(QStringLiteral("http://loading.example/"));
    QCOMPARE(f.Edit->text(), QStringLiteral("about:config"));
    // Once opened, the page's own address shows again.
    QTest::keyClick(f.Edit, Qt::Key_Return);
    QCOMPARE(f.Host.Current, QStringList{QStringLiteral("about:config")});
    f.Bar.ShowAddress(QStringLiteral("http://opened.example/"));
    QCOMPARE(f.Edit->text(), QStringLiteral("http://opened.example/"));
    // Without the keyboard, the field always follows the page.
    QTest::keyClicks(f.Edit, QStringLiteral("x"));
    f.Elsewhere->setFocus();
    f.Bar.ShowAddress(QStringLiteral("http://next.example/"));
    QCOMPARE(f.Edit->text(), QStringLiteral("http://next.example/"));
}

void TAddressBarTest::releasesWithoutTheirPressLeaveTheList() {
    TFixture f;
    f.History = QStringList{QStringLiteral("http://ab.com/")};
    f.Edit->setFocus();
    // Typed fast: the last letter is let go only after Enter has opened the address.
    QTest::keyClicks(f.Edit, QStringLiteral("a"));
    QTest::keyPress(f.Edit, Qt::Key_B);
    QTest::keyClick(f.Edit, Qt::Key_Return);
    QTest::keyRelease(f.Edit, Qt::Key_B);
    QCOMPARE(f.Host.Current, QStringList{f.Bar.AddressOfTyped(QStringLiteral("ab"))});
    QVERIFY(!f.List->isVisible());
    // Alt+D as the window takes it: the bar is focused and selected with no list; the D key's
    // press never reaches the field, and its release (Alt already let go) shows no list.
    f.Bar.FillSuggestions(QStringLiteral("a"));
    f.Elsewhere->setFocus();
    f.Bar.FocusAndSelect();
    QVERIFY(!f.List->isVisible());
    QTRY_VERIFY(f.Edit->hasFocus());
    QCOMPARE(f.Edit->selectedText(), QStringLiteral("ab"));
    const int asked = f.Asked.size();
    QTest::keyRelease(f.Edit, Qt::Key_D);
    QCOMPARE(f.Asked.size(), asked);
    QVERIFY(!f.List->isVisible());
    QCOMPARE(f.Edit->text(), QStringLiteral("ab"));
}

void TAddressBarTest::clickingASuggestionOpensIt() {
    TFixture f;
    f.History = QStringList{QStringLiteral("http://a.com/"), QStringLiteral("http://b.com/")};
    f.Bar.FillSuggestions(QString());
    QTRY_VERIFY(f.List->isVisible());
    const QRect second = f.List->visualItemRect(f.List->item(1));
    QMouseEvent move(QEvent::MouseMove, second.center(), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(f.List->viewport(), &move);
    QCOMPARE(f.List->currentRow(), 1);
    QTest::mouseClick(f.List->viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
    QVERIFY(!f.List->isVisible());
    QCOMPARE(f.Host.Current, QStringList{QStringLiteral("http://b.com/")});
}

void TAddressBarTest::firstClickSelectsAllUnlessDragged() {
    TFixture f;
    f.Edit->setText(QStringLiteral("http://example.com/some/page"));
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(f.Edit, &enter);
    const int letter = f.Edit->fontMetrics().horizontalAdvance(QLatin1Char('a'));
    const QPoint start(40, f.Edit->height() / 2);
    // Pressed at one point and released three letters further right: a drag, nothing selected.
    QTest::mousePress(f.Edit, Qt::LeftButton, Qt::NoModifier, start);
    QTest::mouseRelease(f.Edit, Qt::LeftButton, Qt::NoModifier, start + QPoint(3 * letter, 0));
    QVERIFY(f.Edit->selectedText() != f.Edit->text());
    // Later clicks place the caret until the pointer leaves and enters again.
    QTest::mouseClick(f.Edit, Qt::LeftButton, Qt::NoModifier, start);
    QVERIFY(!f.Edit->hasSelectedText());
    QApplication::sendEvent(f.Edit, &enter);
    QTest::mouseClick(f.Edit, Qt::LeftButton, Qt::NoModifier, start);
    QCOMPARE(f.Edit->selectedText(), f.Edit->text());
}

void TAddressBarTest::addressIconFollowsTheScheme() {
    TFixture f;
    f.Bar.ShowAddress(QStringLiteral("http://a.com/"));
    const QImage plain = f.Icon->pixmap(Qt::ReturnByValue).toImage();
    f.Bar.ShowAddress(QStringLiteral("HTTPS://a.com/"));
    const QImage secure = f.Icon->pixmap(Qt::ReturnByValue).toImage();
    QCOMPARE(f.Edit->text(), QStringLiteral("HTTPS://a.com/"));
    QVERIFY(!plain.isNull() && !secure.isNull());
    QVERIFY(plain != secure);
    // An https page whose certificate was refused gets no lock.
    f.Bar.ShowAddress(QStringLiteral("https://a.com/"), true);
    QCOMPARE(f.Icon->pixmap(Qt::ReturnByValue).toImage(), plain);
}

void TAddressBarTest::searchHintRules() {
    TFixture f;
    f.Box.SetHint(QStringLiteral("www.hint.com"), QStringLiteral("https://hint.example/"));
    QCOMPARE(f.Search->text(), QStringLiteral("www.hint.com"));
    // Enter with the hint unchanged (the box never focused) opens the hint's address.
    QTest::keyClick(f.Search, Qt::Key_Return);
    QCOMPARE(f.Host.NewTabs, QStringList{QStringLiteral("https://hint.example/")});
    // Focusing empties the box; leaving it with blanks only brings the hint back; words stay.
    f.Search->setFocus();
    QTRY_VERIFY(f.Search->text().isEmpty());
    QTest::keyClicks(f.Search, QStringLiteral("   "));
    f.Elsewhere->setFocus();
    QTRY_COMPARE(f.Search->text(), QStringLiteral("www.hint.com"));
    f.Search->setFocus();
    QTest::keyClicks(f.Search, QStringLiteral("words"));
    f.Elsewhere->setFocus();
    QTRY_COMPARE(f.Search->text(), QStringLiteral("words"));
}

void TAddressBarTest::searchEncodesWordsForTheEngine() {
    TFixture f;
    QCOMPARE(f.Box.SearchEngine(), 3); // Baidu at every start
    f.Search->setFocus();
    f.Search->setText(QStringLiteral("  中文 a "));
    QTest::keyClick(f.Search, Qt::Key_Return, Qt::ControlModifier); // Enter with any modifier
    QCOMPARE(f.Host.NewTabs, QStringList{SearchEngineAddress(3, QStringLiteral("中文 a"))});
    QVERIFY(f.Host.NewTabs.first().endsWith(QStringLiteral("&wd=%E4%B8%AD%E6%96%87+a")));
    // An empty box searches for the empty text once the hint has arrived.
    f.Box.SetHint(QStringLiteral("hint"), QStringLiteral("https://hint.example/"));
    f.Search->clear();
    f.SearchButton->click();
    QCOMPARE(f.Host.NewTabs.last(), SearchEngineAddress(3, QString()));
}

void TAddressBarTest::engineMenuChangesIconAndFocus() {
    TFixture f;
    const QImage baidu = f.EngineIcon->icon().pixmap(16, 16).toImage();
    QAction* google = f.Box.EngineMenu()->findChild<QAction*>(QStringLiteral("NGoogle"));
    QVERIFY(google);
    QCOMPARE(google->text(), QStringLiteral("Google"));
    f.Elsewhere->setFocus();
    google->trigger();
    QCOMPARE(f.Box.SearchEngine(), 1);
    QVERIFY(f.EngineIcon->icon().pixmap(16, 16).toImage() != baidu);
    QTRY_VERIFY(f.Search->hasFocus());
    f.Search->setText(QStringLiteral("x"));
    f.SearchButton->click();
    QCOMPARE(f.Host.NewTabs.last(),
             QString::fromUtf8(BuildConfig::SearchGoogle) + QStringLiteral("/search?q=x"));
    QCOMPARE(f.Box.EngineMenu()->actions().size(), 4);
}

void TAddressBarTest::nothingIsSearchedWhileClosing() {
    TFixture f;
    f.Host.Closing = true;
    f.Search->setText(QStringLiteral("x"));
    f.SearchButton->click();
    QVERIFY(f.Host.NewTabs.isEmpty());
}

void TAddressBarTest::mailAddressGoesToTheDesktop() {
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), this, "OpenOnDesktop");
    TFixture f;
    for (const char* typed : {" mailto:a@b.example ", "javascript:void(0)"}) {
        f.Edit->setText(QString::fromUtf8(typed));
        f.Edit->setFocus();
        QTest::keyClick(f.Edit, Qt::Key_Return);
    }
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    QCOMPARE(m_desktopUrls, QStringList{QStringLiteral("mailto:a@b.example")});
    // A script address is not handed out: it goes to the tab as before, whose engine decides.
    QCOMPARE(f.Host.Current, QStringList{QStringLiteral("javascript:void(0)")});
    QVERIFY(f.Host.NewTabs.isEmpty());
}

QTEST_MAIN(TAddressBarTest)
#include "tst_AddressBar.moc"
