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
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QVector>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
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

// nginx on 127.0.0.1 serving root, with a configuration of its own in a temporary folder: a real
// web server for throughput (the Python test server caps the rate). Installs the Debian package
// with apt-get when no nginx is there.
class TNginx {
public:
    explicit TNginx(const QString& root) {
        const QString binary = FindOrInstall();
        if (binary.isEmpty() || !m_dir.isValid())
            return;
        const quint16 port = FreePort();
        QFile config(m_dir.filePath(QStringLiteral("nginx.conf")));
        if (port == 0 || !config.open(QIODevice::WriteOnly))
            return;
        const QString dir = m_dir.path();
        config.write(QStringLiteral("daemon off;\n"
                                    "%1"
                                    "worker_processes 2;\n"
                                    "pid %2/nginx.pid;\n"
                                    "error_log %2/error.log;\n"
                                    "events { worker_connections 256; }\n"
                                    "http {\n"
                                    "  access_log off;\n"
                                    "  sendfile on;\n"
                                    "  tcp_nopush on;\n"
                                    "  client_body_temp_path %2/body;\n"
                                    "  proxy_temp_path %2/proxy;\n"
                                    "  fastcgi_temp_path %2/fastcgi;\n"
                                    "  uwsgi_temp_path %2/uwsgi;\n"
                                    "  scgi_temp_path %2/scgi;\n"
                                    "  default_type application/octet-stream;\n"
                                    "  server { listen 127.0.0.1:%3; root %4; }\n"
                                    "}\n")
                         .arg(geteuid() == 0 ? QStringLiteral("user root;\n") : QString(), dir,
                              QString::number(port), root)
                         .toUtf8());
        config.close();
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        m_process.start(binary, {"-p", dir, "-c", config.fileName()});
        if (!m_process.waitForStarted(15000))
            return;
        // Up once it accepts connections.
        for (int i = 0; i < 100 && m_port == 0; ++i) {
            QTcpSocket probe;
            probe.connectToHost(QStringLiteral("127.0.0.1"), port);
            if (probe.waitForConnected(100))
                m_port = port;
            else
                QThread::msleep(50);
        }
    }
    ~TNginx() {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(3000);
    }
    bool Running() const { return m_port != 0; }
    QString Url(const QString& path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
    }
    static QString Version() {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(FindBinary(), {"-v"});
        process.waitForFinished(5000);
        return QString::fromLocal8Bit(process.readAll()).trimmed();
    }

private:
    static QString FindBinary() {
        const QString found = QStandardPaths::findExecutable(QStringLiteral("nginx"));
        return found.isEmpty()
                   ? QStandardPaths::findExecutable(QStringLiteral("nginx"), {"/usr/sbin", "/sbin"})
                   : found;
    }
    static QString FindOrInstall() {
        if (!FindBinary().isEmpty())
            return FindBinary();
        std::printf("nginx is missing: installing the Debian package (apt-get install nginx)\n");
        std::fflush(stdout);
        const QString sudo = geteuid() == 0 ? QString() : QStringLiteral("sudo ");
        const QString install = sudo + "env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "
                                       "--no-install-recommends nginx";
        if (std::system(qPrintable(install)) != 0)
            std::system(qPrintable(sudo + "apt-get update -q && " + install));
        // The package starts the system's own nginx service on port 80; only ours is wanted.
        std::system(qPrintable(sudo + "service nginx stop >/dev/null 2>&1"));
        return FindBinary();
    }
    static quint16 FreePort() {
        QTcpServer probe;
        return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
    }

    QTemporaryDir m_dir;
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
