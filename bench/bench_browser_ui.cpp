// Interactive latency of the real main window, in this process under X (run it through
// bench_browser.sh or xvfb-run): tab switch (Ctrl+Tab pressed until the new page is shown) and a
// key typed into the address bar with 100,000 history rows (key released until the suggestion
// list is shown). Each figure is printed as a median next to a reference measured in the same run.
#include "browser/BrowserTab.h"
#include "browser/PageView.h"
#include "browser/TabController.h"
#include "common/AppPaths.h"
#include "history/History.h"
#include "shell/FormMain.h"
#include "storage/DbMain.h"

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
#include <algorithm>
#include <cstdio>

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

void Key(QWidget* target, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers,
         const QString& text = {}) {
    QKeyEvent event(type, key, modifiers, text);
    QApplication::sendEvent(target, &event);
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

    TFormMain window(db, pages[0]);
    window.show();
    TTabController* tabs = window.Tabs();
    tabs->SetCtrlHeldFunction([] { return false; });
    while (tabs->TabCount() < 1)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    tabs->OpenInNewTab(pages[1]);
    tabs->OpenInNewTab(pages[2]);
    for (int index = 0; index < tabs->TabCount(); ++index)
        WaitIdle(tabs->TabAt(index));
    Wait(500);
    auto* edit = window.findChild<QLineEdit*>(QStringLiteral("EditUrl"));
    auto* list = window.findChild<QListWidget*>(QStringLiteral("bsSkinListBoxHistory"));

    // Tab switch: Ctrl+Tab through the hook until the next page is visible and painted.
    QVector<double> switches;
    for (int round = 0; round < 40; ++round) {
        const int before = tabs->CurrentIndex();
        QElapsedTimer timer;
        timer.start();
        Key(edit, QEvent::KeyPress, Qt::Key_Tab, Qt::ControlModifier);
        TBrowserTab* tab = tabs->CurrentTab();
        while (tabs->CurrentIndex() == before || !tab || !tab->View() ||
               !tab->View()->Widget()->isVisible()) {
            QCoreApplication::processEvents();
            tab = tabs->CurrentTab();
        }
        Settle(&window);
        switches.append(timer.nsecsElapsed() / 1e6);
        Key(edit, QEvent::KeyRelease, Qt::Key_Tab, Qt::ControlModifier);
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
    QVector<double> keys;
    QVector<double> bareKeys;
    QLineEdit bare;
    bare.show();
    const QString words[] = {QStringLiteral("site123"), QStringLiteral("example.com/path"),
                             QStringLiteral("www.site9"), QStringLiteral("page42")};
    edit->setFocus();
    for (const QString& word : words) {
        edit->clear();
        bare.clear();
        for (const QChar character : word) {
            const int key = character.isLetter()  ? Qt::Key_A + (character.toUpper().unicode() - 'A')
                            : character.isDigit() ? Qt::Key_0 + (character.unicode() - '0')
                            : character == QLatin1Char('.') ? Qt::Key_Period
                                                            : Qt::Key_Slash;
            QElapsedTimer timer;
            timer.start();
            Key(edit, QEvent::KeyPress, key, Qt::NoModifier, QString(character));
            Key(edit, QEvent::KeyRelease, key, Qt::NoModifier, QString(character));
            Settle(&window);
            keys.append(timer.nsecsElapsed() / 1e6);
            timer.restart();
            Key(&bare, QEvent::KeyPress, key, Qt::NoModifier, QString(character));
            Key(&bare, QEvent::KeyRelease, key, Qt::NoModifier, QString(character));
            Settle(&bare);
            bareKeys.append(timer.nsecsElapsed() / 1e6);
        }
    }
    const bool listed = list->isVisible() && list->count() > 0;

    std::printf(
        "tab switch (Ctrl+Tab to page shown): median %.2f ms over %d; reference bare view switch %.2f ms\n",
        Median(switches), int(switches.size()), Median(bareSwitches));
    std::printf("address bar key with %d history rows: median %.2f ms over %d keys (list shown: %s); "
                "reference plain line edit key %.2f ms\n",
                HistoryRows, Median(keys), int(keys.size()), listed ? "yes" : "no", Median(bareKeys));
    window.close();
    return 0;
}
