// Interactive latency of the real main window, in this process under X (run it through
// bench_browser.sh or xvfb-run): tab switch (Ctrl+Tab pressed until the new page is shown) and a
// key typed into the address bar with 100,000 history rows (key pressed until its release has
// refilled the suggestion list and the window is painted). The keys are real X input (XTest), as a
// user's keys: the window's key hook acts only on the window system's own events. Each figure is
// printed as a median next to a reference measured in the same run. Every wait has a time limit;
// the program exits with 1 when a step does not happen in time or a figure cannot be measured.
#include "browser/BrowserTab.h"
#include "browser/PageView.h"
#include "browser/TabController.h"
#include "common/AppPaths.h"
#include "history/History.h"
#include "shell/FormMain.h"
#include "storage/DbMain.h"
#include "XTestKeyboard.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QWebEngineView>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int HistoryRows = 100000;

double Median(QVector<double> values) {
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

void Wait(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

bool WaitIdle(TBrowserTab* tab) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 20000) {
        if (tab && tab->Idle == 1 && tab->View() && !tab->View()->IsLoading())
            return true;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return false;
}

// Pending events run and the page area painted: what the user sees after the key.
void Settle(QWidget* window) {
    QCoreApplication::processEvents();
    window->repaint();
}

// Runs events until done() holds; false when the time limit passes first.
bool WaitUntil(const std::function<bool()>& done, int limitMs = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > limitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// Counts the key releases (other than Ctrl) that the watched widget has finished handling: the
// count rises in an event posted from the filter, which runs once the release's own handling
// (the suggestion list refilled in the address bar's key-up) is over.
class TReleaseCounter final : public QObject {
public:
    explicit TReleaseCounter(QWidget* watched) { watched->installEventFilter(this); }
    int Count() const { return m_count; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyRelease && static_cast<QKeyEvent*>(event)->key() != Qt::Key_Control)
            QCoreApplication::postEvent(this, new QEvent(QEvent::User));
        return QObject::eventFilter(watched, event);
    }
    bool event(QEvent* event) override {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        ++m_count;
        return true;
    }

private:
    int m_count = 0;
};

int Fail(const char* what) {
    std::fprintf(stderr, "bench_browser_ui: %s\n", what);
    std::printf("FAILED: %s\n", what);
    return 1;
}

// One character typed as real keys into the focused widget, timed from the press until the
// release is handled and the window painted.
bool TypeKey(TXTestKeyboard& keyboard, QChar character, const TReleaseCounter& released, QWidget* window,
             QVector<double>* times) {
    const int before = released.Count();
    QElapsedTimer timer;
    timer.start();
    keyboard.Press(character.unicode());
    keyboard.Release(character.unicode());
    if (!WaitUntil([&] { return released.Count() > before; }))
        return false;
    Settle(window);
    times->append(timer.nsecsElapsed() / 1e6);
    return true;
}

QString PageHtml(int number) {
    QString body;
    for (int line = 0; line < 200; ++line)
        body += QStringLiteral("<p>Page %1, line %2: 中文内容 and some text to lay out.</p>")
                    .arg(number)
                    .arg(line);
    return QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Page %1</title></head>"
                          "<body>%2</body></html>")
        .arg(number)
        .arg(body);
}

bool FillHistory(TDb& db) {
    QString script;
    script.reserve(HistoryRows * 120);
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (int row = 0; row < HistoryRows; ++row)
        script += QStringLiteral("INSERT INTO qb_history (site_name, site_url, create_time, isclose) VALUES "
                                 "('Site %1', 'http://www.site%1.example.com/path/page%2.html', %3, 0);\n")
                      .arg(row)
                      .arg(row % 97)
                      .arg(now - HistoryRows + row);
    return db.ExecuteScript(script);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-logging");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);

    QTemporaryDir folder;
    SetAppDir(folder.path() + QStringLiteral("/"));
    QDir().mkpath(folder.path() + QStringLiteral("/res/site"));
    QStringList pages;
    for (int number = 0; number < 3; ++number) {
        const QString path = folder.path() + QStringLiteral("/res/site/page%1.html").arg(number);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write(PageHtml(number).toUtf8());
        pages.append(QUrl::fromLocalFile(path).toString());
    }
    QFile::copy(folder.path() + QStringLiteral("/res/site/page0.html"),
                folder.path() + QStringLiteral("/res/site/123.html"));
    const QString dataFile = folder.path() + QStringLiteral("/data.dat");
    QFile::copy(QStringLiteral(QUELLON_DATA_TEMPLATE), dataFile);
    QFile::setPermissions(dataFile, QFile::ReadOwner | QFile::WriteOwner);
    TDb db;
    if (!db.Open(dataFile) || !FillHistory(db)) {
        std::fprintf(stderr, "cannot prepare the data file\n");
        return 1;
    }
    {
        // The address index is brought up to date first; the window then starts warm.
        QElapsedTimer timer;
        timer.start();
        THistory(db).CatchUpSearchIndex();
        std::printf("history rows: %d (index brought up to date in %lld ms)\n", HistoryRows,
                    static_cast<long long>(timer.elapsed()));
    }

    TXTestKeyboard keyboard;
    if (!keyboard.IsReady())
        return Fail("no XTest: libX11/libXtst or the X server's XTest extension missing");

    TFormMain window(db, pages[0]);
    window.show();
    TTabController* tabs = window.Tabs();
    tabs->SetCtrlHeldFunction([] { return false; });
    if (!WaitUntil([&] { return tabs->TabCount() >= 1; }, 30000))
        return Fail("the first tab did not open");
    tabs->OpenInNewTab(pages[1]);
    tabs->OpenInNewTab(pages[2]);
    for (int index = 0; index < tabs->TabCount(); ++index) {
        if (!WaitIdle(tabs->TabAt(index)))
            return Fail("a page did not finish loading");
    }
    Wait(500);
    auto* edit = window.findChild<QLineEdit*>(QStringLiteral("EditUrl"));
    auto* list = window.findChild<QListWidget*>(QStringLiteral("bsSkinListBoxHistory"));
    if (!edit || !list)
        return Fail("no address bar or suggestion list in the window");
    keyboard.Focus(&window);
    if (!WaitUntil([&] { return window.isActiveWindow(); }))
        return Fail("the window did not get the keyboard focus");

    // Tab switch: Ctrl+Tab through the hook until the next page is visible and painted.
    QVector<double> switches;
    for (int round = 0; round < 40; ++round) {
        const int before = tabs->CurrentIndex();
        keyboard.Press(TXTestKeyboard::ControlL);
        QElapsedTimer timer;
        timer.start();
        keyboard.Press(TXTestKeyboard::Tab);
        const bool switched = WaitUntil([&] {
            TBrowserTab* tab = tabs->CurrentTab();
            return tabs->CurrentIndex() != before && tab && tab->View() && tab->View()->Widget()->isVisible();
        });
        if (switched) {
            Settle(&window);
            switches.append(timer.nsecsElapsed() / 1e6);
        }
        keyboard.Release(TXTestKeyboard::Tab);
        keyboard.Release(TXTestKeyboard::ControlL);
        if (!switched)
            return Fail("Ctrl+Tab did not switch the tab within 5 s");
        Wait(30);
    }

    // Reference: the same switch between two engine views in a bare stacked widget.
    QVector<double> bareSwitches;
    {
        QStackedWidget stack;
        auto* first = new QWebEngineView(&stack);
        auto* second = new QWebEngineView(&stack);
        first->load(QUrl(pages[1]));
        second->load(QUrl(pages[2]));
        stack.addWidget(first);
        stack.addWidget(second);
        stack.resize(window.size());
        stack.show();
        Wait(1500);
        for (int round = 0; round < 40; ++round) {
            QElapsedTimer timer;
            timer.start();
            stack.setCurrentIndex(1 - stack.currentIndex());
            Settle(&stack);
            bareSwitches.append(timer.nsecsElapsed() / 1e6);
            Wait(30);
        }
    }

    // Typing: each key released in the address bar refills the list from 100,000 rows.
    const QString words[] = {QStringLiteral("site123"), QStringLiteral("example.com/path"),
                             QStringLiteral("www.site9"), QStringLiteral("page42")};
    QVector<double> keys;
    bool listed = true;
    keyboard.Focus(&window);
    if (!WaitUntil([&] { return window.isActiveWindow(); }))
        return Fail("the window did not get the keyboard focus back");
    {
        const TReleaseCounter released(edit);
        for (const QString& word : words) {
            edit->setFocus();
            edit->clear();
            if (!WaitUntil([&] { return edit->hasFocus(); }))
                return Fail("the address bar did not take the focus");
            for (const QChar character : word) {
                if (!TypeKey(keyboard, character, released, &window, &keys))
                    return Fail("a key typed into the address bar was not handled within 5 s");
            }
            listed = listed && list->isVisible() && list->count() > 0 && edit->text().contains(word);
        }
    }
    if (!listed)
        return Fail("the typed words did not reach the address bar or showed no suggestions");

    // Reference: the same keys typed into a plain line edit of its own window.
    QVector<double> bareKeys;
    QLineEdit bare;
    bare.show();
    // The X server gives the focus only to a window that is mapped.
    if (!WaitUntil([&] { return bare.windowHandle() && bare.windowHandle()->isExposed(); }))
        return Fail("the plain line edit's window was not shown");
    bare.setFocus();
    keyboard.Focus(&bare);
    if (!WaitUntil([&] { return bare.isActiveWindow() && bare.hasFocus(); }))
        return Fail("the plain line edit did not get the keyboard focus");
    {
        const TReleaseCounter released(&bare);
        for (const QString& word : words) {
            bare.clear();
            for (const QChar character : word) {
                if (!TypeKey(keyboard, character, released, &bare, &bareKeys))
                    return Fail("a key typed into the plain line edit was not handled within 5 s");
            }
        }
    }

    std::printf(
        "tab switch (Ctrl+Tab to page shown): median %.2f ms over %d; reference bare view switch %.2f ms\n",
        Median(switches), int(switches.size()), Median(bareSwitches));
    std::printf("address bar key with %d history rows: median %.2f ms over %d keys (list shown: yes); "
                "reference plain line edit key %.2f ms\n",
                HistoryRows, Median(keys), int(keys.size()), Median(bareKeys));
    window.close();
    return 0;
}
