// Start-up of the browser process: engine environment, folders, data file and command line.
#include "shell/Startup.h"

#include "BuildConfig.h"
#include "browser/EngineProfile.h"
#include "common/AppPaths.h"
#include "common/Logging.h"
#include "common/WindowLauncher.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QQuickWindow>

#include <algorithm>

#include <unistd.h>

namespace {

const char* const RemoteDebuggingVariable = "QTWEBENGINE_REMOTE_DEBUGGING";
const QLatin1String RemoteDebuggingSwitch("--remote-debugging-port=");
const char* const GlIntegrationVariable = "QT_XCB_GL_INTEGRATION";
const QByteArray SiteIsolation("--site-per-process");

// The port of "N" or "host:N"; 0 when the text names no valid port.
int PortOf(const QString& text) {
    bool ok = false;
    const int port = text.mid(text.lastIndexOf(QLatin1Char(':')) + 1).toInt(&ok);
    return ok && port > 0 && port <= 65535 ? port : 0;
}

} // namespace

bool TStartup::s_glIntegrationSet = false;

void TStartup::PrepareProcess(const QStringList& arguments) {
    // Anyone who reaches the engine's debugging endpoint can read and drive every open page, cookies
    // included: it opens only when the user asks for it, and then on the loopback interface only.
    const QByteArray debugging = RemoteDebuggingAddress(arguments, qgetenv(RemoteDebuggingVariable));
    if (debugging.isEmpty()) {
        qunsetenv(RemoteDebuggingVariable);
    } else {
        qputenv(RemoteDebuggingVariable, debugging);
    }
    // Chromium's sandbox refuses to run as root; for other users it stays on.
    if (geteuid() == 0) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    const bool hasRenderNode = HasGpuRenderNode();
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            WithProcessModel(ChromiumFlags(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), hasRenderNode)));
    if (!hasRenderNode) {
        UseSoftwareRendering();
    }
    QCoreApplication::setApplicationName(QString::fromLatin1(BuildConfig::ProductName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(BuildConfig::Version));
    // The engine shares OpenGL contexts with the widgets; Qt needs to know before the application.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    TEngineProfile::RegisterSchemes();
}

QByteArray TStartup::ChromiumFlags(const QByteArray& existing, bool hasRenderNode) {
    QList<QByteArray> flags = existing.simplified().split(' ');
    flags.removeAll(QByteArray());
    const auto add = [&flags](const QByteArray& flag) {
        if (!flags.contains(flag)) {
            flags.append(flag);
        }
    };
    // A language the user set explicitly wins over the default.
    const bool hasLanguage = std::any_of(flags.cbegin(), flags.cend(),
                                         [](const QByteArray& flag) { return flag.startsWith("--lang="); });
    if (!hasLanguage) {
        add("--lang=zh-CN");
    }
    if (!hasRenderNode) {
        add("--disable-gpu");
    }
    return flags.join(' ');
}

QByteArray TStartup::WithProcessModel(const QByteArray& flags) {
    // One renderer per site rather than per tab: ten tabs of one portal cost one renderer, not ten;
    // a crashed or hung page takes the other tabs of its own site with it. Alone, the engine's
    // per-site model puts pages of different sites into one renderer as well (four sites opened in
    // four tabs share one process): site isolation keeps every site in a renderer of its own.
    const QList<QByteArray> models{"--process-per-site", "--process-per-tab", "--single-process"};
    QList<QByteArray> result = flags.simplified().split(' ');
    result.removeAll(QByteArray());
    if (result.contains("--single-process"))
        return flags;
    if (std::none_of(models.cbegin(), models.cend(),
                     [&result](const QByteArray& model) { return result.contains(model); })) {
        result.append(models.first());
    }
    if (!result.contains(SiteIsolation)) {
        result.append(SiteIsolation);
    }
    return result.join(' ');
}

void TStartup::UseSoftwareRendering() {
    // Without a GPU the widgets' OpenGL is Mesa's software rasteriser, which maps LLVM into the
    // browser process and keeps GL buffers for every engine view. Qt Quick's own software renderer
    // draws the engine's frames with QPainter instead: one tab costs about a third less memory.
    // A choice the user made through QT_QUICK_BACKEND stays.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND")) {
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
    }
    // Nothing else draws with OpenGL then, so the X connection need not load GLX either. Qt reads
    // the variable while it connects; the constructor removes it again, so
    // programs started later do not inherit it.
    if (qEnvironmentVariableIsEmpty(GlIntegrationVariable) &&
        QQuickWindow::sceneGraphBackend() == QLatin1String("software")) {
        qputenv(GlIntegrationVariable, "none");
        s_glIntegrationSet = true;
    }
}

bool TStartup::HasGpuRenderNode(const QString& driFolder) {
    return !QDir(driFolder).entryList({QStringLiteral("renderD*")}, QDir::System | QDir::Files).isEmpty();
}

QStringList TStartup::Switches(const QStringList& arguments) {
    const int end = arguments.indexOf(AddressesFollow);
    return end < 0 ? arguments : QStringList(arguments.mid(0, end));
}

QByteArray TStartup::RemoteDebuggingAddress(const QStringList& arguments, const QByteArray& variable) {
    int port = 0;
    bool switchGiven = false;
    const QStringList switches = Switches(arguments);
    for (int i = 1; i < switches.size(); ++i) {
        if (switches.at(i).startsWith(RemoteDebuggingSwitch)) {
            switchGiven = true;
            port = PortOf(switches.at(i).mid(RemoteDebuggingSwitch.size()));
        }
    }
    // The engine lets the switch win over the variable; so does this.
    if (!switchGiven) {
        port = PortOf(QString::fromLocal8Bit(variable.trimmed()));
    }
    return port == 0 ? QByteArray() : "127.0.0.1:" + QByteArray::number(port);
}

QString TStartup::CommandLineAddress(const QStringList& arguments) {
    const QStringList switches = Switches(arguments);
    for (const QString& address : arguments.mid(switches.size() + 1)) {
        if (!address.trimmed().isEmpty())
            return address.trimmed();
    }
    for (int i = 1; i < switches.size(); ++i) {
        const QString argument = switches.at(i).trimmed();
        if (!argument.isEmpty() && !argument.startsWith(QLatin1Char('-'))) {
            return argument;
        }
    }
    return QString();
}

TStartup::TStartup(const QStringList& arguments) : m_commandLineUrl(CommandLineAddress(arguments)) {
    if (s_glIntegrationSet) {
        qunsetenv(GlIntegrationVariable);
        s_glIntegrationSet = false;
    }
    TEngineProfile::SetUp(CacheDir());

    QIcon icon;
    icon.addFile(AppDir() + QStringLiteral("res/quellon.svg"));
    icon.addFile(AppDir() + QStringLiteral("res/quellon.png"));
    QApplication::setWindowIcon(icon);

    CreateFolder(UserDataDir());
    const QString dataFile = ProvideDataFile();
    if (!m_db.Open(dataFile)) {
        WriteLog(QStringLiteral("Data file not opened: %1; the program runs with empty lists and "
                                "default settings, and keeps no changes")
                     .arg(dataFile));
    }
}

void TStartup::CreateFolder(const QString& folder) {
    if (!QDir().mkpath(folder)) {
        WriteLog(QStringLiteral("Folder not created: %1").arg(folder));
    }
}
