// The update check: once per start the update host's version document ("/ver.html", JSON with
// "Version" and "Info") is read on a worker; another version than the program's own offers the
// update. The outside updater ("Update" in the program folder) fetches and installs it.
#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class QThread;
class THttpClient;

struct TUpdateOffer {
    QString Message;          // the host's "Info", or the standard question
    QString UpdaterParameter; // the updater's one-word command line
};

// The update host: the environment variable QUELLON_UPDATE_HOST when set (tests point it at a
// local server), else the build's setting; empty when neither names one.
QString ConfiguredUpdateHost();
// "http://<host>/ver.html" (a host given with its scheme keeps it); empty for an empty host.
QString VersionDocumentUrl(const QString& host);
// The offer the document makes: nothing when it is not a JSON object or names no version or the
// own one (any other version text counts as newer).
std::optional<TUpdateOffer> ReadVersionDocument(const QString& text, const QString& ownVersion,
                                                const QString& exeName);
// Base64 of the JSON object {"FileName": "update.rar", "ExeName": exeName} in the data-file codec,
// as one unbroken word.
QString UpdaterParameter(const QString& exeName);
// Starts appDir + "Update" with the parameter, in appDir; false when it could not be started.
bool StartUpdater(const QString& appDir, const QString& parameter);

class TUpdateCheck final : public QObject {
    Q_OBJECT
public:
    // host: the configured update host; empty makes no request at all.
    TUpdateCheck(QString host, QString ownVersion, QString exeName, QObject* parent = nullptr);
    // Ends a running request and waits for the worker.
    ~TUpdateCheck() override;

    // Starts the one request of this check; false when there is no host (nothing is asked).
    bool Start();

signals:
    void updateFound(const QString& message, const QString& updaterParameter);
    // The check is over, with or without an offer.
    void finished();

private:
    const QString m_host;
    const QString m_ownVersion;
    const QString m_exeName;
    std::shared_ptr<THttpClient> m_client;
    std::unique_ptr<QThread> m_thread;
};
