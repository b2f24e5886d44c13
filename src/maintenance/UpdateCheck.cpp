// The update check.
#include "maintenance/UpdateCheck.h"

#include "BuildConfig.h"
#include "common/AnsiCodec.h"
#include "common/HttpClient.h"
#include "common/Json.h"
#include "common/Logging.h"

#include <QCoreApplication>
#include <QProcess>
#include <QThread>

namespace {

// The start-up must not wait on a host that does not answer.
constexpr int kConnectTimeoutMs = 5000;
constexpr int kReadTimeoutMs = 10000;

} // namespace

QString ConfiguredUpdateHost() {
    const QString overridden = qEnvironmentVariable("QUELLON_UPDATE_HOST");
    return overridden.isEmpty() ? QString::fromUtf8(BuildConfig::UpdateHost) : overridden;
}

QString VersionDocumentUrl(const QString& host) {
    QString root = host.trimmed();
    if (root.isEmpty())
        return QString();
    if (!root.contains(QLatin1String("://")))
        root.prepend(QLatin1String("http://"));
    while (root.endsWith(QLatin1Char('/')))
        root.chop(1);
    return root + QStringLiteral("/ver.html");
}

std::optional<TUpdateOffer> ReadVersionDocument(const QString& text, const QString& ownVersion,
                                                const QString& exeName) {
    const std::optional<QJsonValue> parsed = ParseJson(text);
    if (!parsed || !parsed->isObject()) {
        WriteLog(QStringLiteral("Update check: the version document is not a JSON object"));
        return std::nullopt;
    }
    const QJsonObject document = parsed->toObject();
    const QString version = JsonText(document, QStringLiteral("Version")).trimmed();
    if (version.isEmpty() || version == ownVersion)
        return std::nullopt;
    QString message = JsonText(document, QStringLiteral("Info")).trimmed();
    if (message.isEmpty())
        message = QCoreApplication::translate("TFormMain", "发现新版本，确定要更新吗？");
    return TUpdateOffer{message, UpdaterParameter(exeName)};
}

QString UpdaterParameter(const QString& exeName) {
    const QJsonObject parameter{{QStringLiteral("FileName"), QStringLiteral("update.rar")},
                                {QStringLiteral("ExeName"), exeName}};
    return QString::fromLatin1(ToAnsi(WriteJson(parameter)).toBase64());
}

bool StartUpdater(const QString& appDir, const QString& parameter) {
    const bool started = QProcess::startDetached(appDir + QStringLiteral("Update"), {parameter}, appDir);
    if (!started)
        WriteLog(QStringLiteral("Update check: the updater could not be started: ") + appDir +
                 QStringLiteral("Update"));
    return started;
}

TUpdateCheck::TUpdateCheck(QString host, QString ownVersion, QString exeName, QObject* parent)
    : QObject(parent), m_host(std::move(host)), m_ownVersion(std::move(ownVersion)),
      m_exeName(std::move(exeName)), m_client(std::make_shared<THttpClient>()) {
    m_client->SetConnectTimeout(kConnectTimeoutMs);
    m_client->SetReadTimeout(kReadTimeoutMs);
}

TUpdateCheck::~TUpdateCheck() {
    m_client->Abort();
    if (m_thread)
        m_thread->wait();
}

bool TUpdateCheck::Start() {
    const QString url = VersionDocumentUrl(m_host);
    if (url.isEmpty() || m_thread)
        return false;
    const std::shared_ptr<THttpClient> client = m_client;
    m_thread.reset(QThread::create([this, client, url] {
        QByteArray body;
        std::optional<TUpdateOffer> offer;
        if (client->Get(url, &body))
            offer = ReadVersionDocument(FromAnsi(body), m_ownVersion, m_exeName);
        else
            WriteLog(QStringLiteral("Update check: ") + client->ErrorText());
        // Back on the window's thread; the destructor waits for this worker, so this is alive.
        QMetaObject::invokeMethod(
            this,
            [this, offer] {
                if (offer)
                    emit updateFound(offer->Message, offer->UpdaterParameter);
                emit finished();
            },
            Qt::QueuedConnection);
    }));
    m_thread->start(QThread::LowPriority);
    return true;
}
