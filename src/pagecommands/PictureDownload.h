// Saving a picture from a page: the picture's address is fetched with the project's HTTP client
// straight into the chosen file, which exists afterwards only when the whole picture arrived. The
// transfer runs on a worker thread of its own, so that a slow server never holds the window, and
// ends at the latest after DeadlineMs or when cancelled.
#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QThread;
class THttpClient;

class TPictureDownload final : public QObject {
    Q_OBJECT
public:
    static constexpr int DeadlineMs = 120000;
    // A picture larger than this is no picture: the transfer fails instead of filling the disk.
    static constexpr qint64 MaxBytes = 256 * 1024 * 1024;

    TPictureDownload(QString url, QString fileName, QObject* parent = nullptr);
    // Cancels a running transfer and waits for the worker.
    ~TPictureDownload() override;

    // The overall time limit of the transfer (before Start); 0: none.
    void SetDeadline(int milliseconds) { m_deadlineMs = milliseconds; }
    // Starts the worker; the outcome comes as one of Saved, Failed or Cancelled on this thread.
    void Start();
    // Thread-safe: stops the transfer at once; nothing is left behind.
    void Cancel();

    // The blocking transfer the worker runs: true when the complete picture was written to
    // fileName (an existing file is replaced only then). On an error status, a broken transfer, the
    // deadline or an unwritable file nothing is left behind and *error (when given) says why.
    // client (optional) is the one to use, so that another thread may abort it.
    static bool Save(const QString& url, const QString& fileName, QString* error = nullptr,
                     THttpClient* client = nullptr, int deadlineMs = DeadlineMs);

signals:
    // Bytes received so far and the stated size (-1 when the server stated none).
    void Progress(qint64 received, qint64 total);
    void Saved();
    void Failed(const QString& error);
    void Cancelled();

private:
    const QString m_url;
    const QString m_fileName;
    int m_deadlineMs = DeadlineMs;
    std::shared_ptr<THttpClient> m_client;
    std::unique_ptr<QThread> m_thread;
};
