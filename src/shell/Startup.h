// Start-up of the browser process: the engine's environment before the application object, then the
// engine profile, the program's folders and the data file before the first window.
#pragma once

#include "storage/DbMain.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class TStartup final {
public:
    // Everything that must be in place before the application object: the remote-debugging endpoint
    // when the command line or the environment asks for one, the engine's switches, the "local"
    // scheme, application identity. arguments is the process's command line, program first.
    static void PrepareProcess(const QStringList& arguments);
    // The debugging endpoint the user asked for, always "127.0.0.1:<port>": the port of the last
    // "--remote-debugging-port=N" switch, else of the QTWEBENGINE_REMOTE_DEBUGGING value ("N" or
    // "address:N", whose address is replaced by the loopback one). Empty when neither names a port
    // in 1..65535: then no endpoint opens.
    static QByteArray RemoteDebuggingAddress(const QStringList& arguments, const QByteArray& variable);
    // The engine's switches: the existing ones kept, "--lang=zh-CN" added, and "--disable-gpu" added
    // when the machine has no GPU render node (Xvfb, most virtual machines). No switch is repeated.
    static QByteArray ChromiumFlags(const QByteArray& existing, bool hasRenderNode);
    // The switches with "--process-per-site" appended unless they already choose a process model
    // (--process-per-site, --process-per-tab, --single-process): tabs of one site share a renderer.
    // "--site-per-process" is appended too (sites never share a renderer), except with
    // --single-process, which leaves the switches as they are.
    static QByteArray WithProcessModel(const QByteArray& flags);
    // For a machine without a GPU render node: Qt Quick's software renderer draws the engine views
    // (unless QT_QUICK_BACKEND chooses), and the X connection loads no GLX (QT_XCB_GL_INTEGRATION
    // "none" until the constructor, unless set). Runs before the application object.
    static void UseSoftwareRendering();
    // True when driFolder holds a render node (renderD*), i.e. the engine can use the GPU.
    static bool HasGpuRenderNode(const QString& driFolder = QStringLiteral("/dev/dri"));
    // The one address the command line may carry: the first argument after "--" (read only as an
    // address, whatever it looks like), else the first argument after the program that is not a
    // switch. Empty when there is none.
    static QString CommandLineAddress(const QStringList& arguments);
    // The program and its switches: the arguments before "--" (all of them when there is none).
    static QStringList Switches(const QStringList& arguments);

    // Runs after the application object: sets up the engine profile and the window icon, creates
    // UserDataDir when missing, provides the data file (ProvideDataFile) and opens it. A missing or
    // broken data file is logged and the program goes on with empty stores.
    explicit TStartup(const QStringList& arguments);
    TStartup(const TStartup&) = delete;
    TStartup& operator=(const TStartup&) = delete;

    // The process-wide database module; it exists before any window and outlives them all.
    TDb& Db() { return m_db; }
    QString CommandLineUrl() const { return m_commandLineUrl; }

private:
    static void CreateFolder(const QString& folder);

    // True while the variable UseSoftwareRendering set is in the environment.
    static bool s_glIntegrationSet;

    TDb m_db;
    QString m_commandLineUrl;
};
