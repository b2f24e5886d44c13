// Pieces shared by the download benchmarks: a local server process, a fresh data file, running
// downloads through a queue or through curl, CPU times, medians and file hashes.
#pragma once

#include "downloads/DownloadQueue.h"
#include "storage/DbMain.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QVector>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace bench {

// A python HTTP server started from a script with arguments; it prints "PORT <n>" once listening.
class TServer {
public:
    TServer(const QString& script, const QStringList& args) {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral("python3"), QStringList{script} + args);
        if (!m_process.waitForStarted(15000))
            return;
        QByteArray line;
        while (!line.endsWith('\n') && (m_process.canReadLine() || m_process.waitForReadyRead(15000)))
            line += m_process.readLine();
        const QList<QByteArray> words = line.trimmed().split(' ');
        if (words.size() == 2 && words[0] == "PORT")
            m_port = words[1].toUShort();
    }
    ~TServer() {
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished(3000);
    }
    bool Running() const { return m_port != 0; }
    QString Url(const QString& path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
    }

private:
    QProcess m_process;
    quint16 m_port = 0;
};

inline QString TestServerScript() {
    return QStringLiteral(QUELLON_SOURCE_DIR "/tests/support/test_server.py");
}

// A copy of the generated empty data file at path, opened.
inline bool OpenFreshDataFile(TDb& db, const QString& path) {
    QFile::remove(path);
    if (!QFile::copy(QStringLiteral(QUELLON_DATA_TEMPLATE), path))
        return false;
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return db.Open(path);
}

inline double Median(QVector<double> values) {
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const int n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

inline double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

inline QByteArray Sha256OfFile(const QString& path) {
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return QByteArray();
    return hash.result().toHex();
}

struct TRunResult {
    double Seconds = 0;
    double CpuSeconds = 0;
    bool Ok = false;
};

// curl -s -o file url, one process per pair, all at once; wall time and the children's CPU time.
inline TRunResult RunCurls(const QStringList& urls, const QStringList& files) {
    TRunResult result;
    QElapsedTimer timer;
    timer.start();
    QVector<pid_t> children;
    for (int i = 0; i < urls.size(); ++i) {
        const QByteArray url = urls[i].toUtf8();
        const QByteArray file = QFile::encodeName(files[i]);
        const pid_t pid = fork();
        if (pid == 0) {
            execlp("curl", "curl", "-s", "-f", "-o", file.constData(), url.constData(),
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        children.append(pid);
    }
    result.Ok = true;
    for (const pid_t pid : children) {
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        result.Ok = result.Ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        result.CpuSeconds += double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                             double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    result.Seconds = timer.nsecsElapsed() / 1e9;
    return result;
}

// Starts every download on the queue and runs the event loop until all have finished (or one
// failed, or the time is up); wall time and this process's CPU time over that span.
inline TRunResult RunQueue(TDownloadQueue& queue, const QStringList& urls, const QStringList& files,
                           qint64 size, int timeoutMs) {
    TRunResult result;
    int finished = 0;
    bool failed = false;
    QEventLoop loop;
    queue.OnFinished = [&](const TDownloadInfo&) {
        if (++finished == urls.size())
            loop.quit();
    };
    queue.OnFailed = [&](const TDownloadInfo&) {
        failed = true;
        loop.quit();
    };
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    const double cpu = ProcessCpuSeconds();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < urls.size(); ++i)
        queue.StartDownload(urls[i], files[i], size);
    loop.exec();
    result.Seconds = timer.nsecsElapsed() / 1e9;
    result.CpuSeconds = ProcessCpuSeconds() - cpu;
    result.Ok = !failed && finished == urls.size();
    queue.OnFinished = nullptr;
    queue.OnFailed = nullptr;
    return result;
}

// The folder for the big files: the first argument after --dir, else the system's temporary folder.
inline QString WorkFolder(const QStringList& args, const QString& name) {
    const int at = args.indexOf(QStringLiteral("--dir"));
    const QString base = at >= 0 && at + 1 < args.size() ? args[at + 1] : QDir::tempPath();
    const QString folder = QDir(base).filePath(name);
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    return folder;
}

inline int IntOption(const QStringList& args, const QString& name, int fallback) {
    const int at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1].toInt() : fallback;
}

} // namespace bench
