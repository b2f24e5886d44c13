// Memory the developer tools add, under X (xvfb-run): resident memory of the whole process tree
// (this program and its QtWebEngineProcess children) before and after F12's command opens the
// tools under a page of the main window, next to the engine's own developer tools page opened
// alone on a bare view of the same page. Each side runs in a process of its own (this program
// started again with --window or --engine), so neither inherits the other's engine processes.
//   xvfb-run -a -s "-screen 0 1366x900x24" build/bench/bench_devtools_memory [runs]
#include "EngineBench.h"
#include "browser/BrowserTab.h"
#include "browser/PageView.h"
#include "common/AppPaths.h"
#include "shell/FormMain.h"
#include "storage/DbMain.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>

namespace {

void Settle(int ms) {
    WaitFor([] { return false; }, ms);
}

// Resident memory of this process and every process below it, in KiB.
qint64 TreeRssKib() {
    std::multimap<qint64, qint64> children;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!number || !stat.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> fields = stat.readAll().split(')').value(1).trimmed().split(' ');
        children.emplace(fields.value(1).toLongLong(), pid);
    }
    qint64 total = 0;
    QList<qint64> todo{QCoreApplication::applicationPid()};
    while (!todo.isEmpty()) {
        const qint64 pid = todo.takeLast();
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (status.open(QIODevice::ReadOnly))
            for (const QByteArray& line : status.readAll().split('\n'))
                if (line.startsWith("VmRSS:"))
                    total += line.mid(6).trimmed().split(' ').value(0).toLongLong();
        const auto [first, last] = children.equal_range(pid);
        for (auto it = first; it != last; ++it)
            todo.append(it->second);
    }
    return total;
}

QString WritePage(const QString& folder) {
    const QString path = folder + QStringLiteral("/tools.html");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QByteArray body;
    for (int line = 0; line < 500; ++line)
        body += "<p>第 " + QByteArray::number(line) + " 行 ordinary page text</p>";
    file.write("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Tools</title></head><body>" + body +
               "</body></html>");
    return QUrl::fromLocalFile(path).toString();
}

// The tools' page has loaded its front end.
bool ToolsLoaded(QWebEngineView* tools) {
    return tools && !tools->url().isEmpty() && tools->page()->title() != QString() &&
           tools->page()->title() != tools->url().toString();
}

// F12's command on the main window's page: the memory added once the tools have loaded.
qint64 WindowSide(const QString& folder) {
    SetAppDir(folder + QStringLiteral("/"));
    const QString dataFile = folder + QStringLiteral("/data.dat");
    QFile::copy(QStringLiteral(QUELLON_DATA_TEMPLATE), dataFile);
    QFile::setPermissions(dataFile, QFile::ReadOwner | QFile::WriteOwner);
    TDb db;
    if (!db.Open(dataFile))
        return -1;
    TFormMain window(db, WritePage(folder));
    window.show();
    WaitFor([&] { return window.CurrentTab() && window.CurrentTab()->Caption == QStringLiteral("Tools"); });
    Settle(3000);
    const qint64 before = TreeRssKib();
    window.NDevelopToolClick();
    auto* tools = qobject_cast<QWebEngineView*>(window.CurrentTab()->DevToolsView);
    WaitFor([&] { return ToolsLoaded(tools); });
    Settle(3000);
    return TreeRssKib() - before;
}

// The engine alone: a bare view of the page and a second view showing its developer tools.
qint64 EngineSide(const QString& folder) {
    QWebEngineView view;
    view.resize(1366, 760);
    view.load(QUrl(WritePage(folder)));
    view.show();
    WaitFor([&] { return view.title() == QStringLiteral("Tools"); });
    Settle(3000);
    const qint64 before = TreeRssKib();
    QWebEngineView tools;
    tools.resize(1366, 240);
    view.page()->setDevToolsPage(tools.page());
    tools.show();
    WaitFor([&] { return ToolsLoaded(&tools); });
    Settle(3000);
    return TreeRssKib() - before;
}

// Runs one side in a process of its own and reads the figure it prints.
qint64 RunSide(const QString& side) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {side});
    if (!child.waitForFinished(180000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return -1;
    return child.readAllStandardOutput().trimmed().split('\n').last().toLongLong();
}

double Median(QVector<qint64> values) {
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    PrepareEngine();
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    const QString side = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (side == QLatin1String("--window") || side == QLatin1String("--engine")) {
        QTemporaryDir folder;
        const qint64 added = side == QLatin1String("--window") ? WindowSide(folder.path()) : EngineSide(folder.path());
        std::printf("%lld\n", static_cast<long long>(added));
        return added < 0 ? 1 : 0;
    }

    const int runs = argc > 1 ? QByteArray(argv[1]).toInt() : 3;
    QVector<qint64> window;
    QVector<qint64> engine;
    for (int run = 0; run < runs; ++run) {
        engine.append(RunSide(QStringLiteral("--engine")));
        window.append(RunSide(QStringLiteral("--window")));
        std::printf("run %d: window %lld KiB, engine alone %lld KiB\n", run + 1,
                    static_cast<long long>(window.last()), static_cast<long long>(engine.last()));
        std::fflush(stdout);
    }
    const double target = Median(window);
    const double reference = Median(engine);
    std::printf("developer tools opened by F12 in the window   median %8.0f KiB added\n", target);
    std::printf("engine's own devtools page alone (reference)  median %8.0f KiB added\n", reference);
    // A side that could not measure reports -1.
    const bool measured = std::all_of(window.begin(), window.end(), [](qint64 v) { return v >= 0; }) &&
                          std::all_of(engine.begin(), engine.end(), [](qint64 v) { return v >= 0; });
    const bool met = measured && target <= reference;
    std::printf("ratio %.2f (target: no more than the reference): %s\n", reference > 0 ? target / reference : 0.0,
                !measured ? "NOT MEASURED" : met ? "met" : "MISSED");
    return met ? 0 : 1;
}
