// Saving a picture from a page.
#include "pagecommands/PictureDownload.h"

#include "common/HttpClient.h"

#include <QSaveFile>
#include <QThread>

namespace {
constexpr int kConnectTimeoutMs = 15000;
constexpr int kReadTimeoutMs = 30000;
} // namespace

TPictureDownload::TPictureDownload(QString url, QString fileName, QObject* parent)
    : QObject(parent), m_url(std::move(url)), m_fileName(std::move(fileName)),
      m_client(std::make_shared<THttpClient>()) {}

TPictureDownload::~TPictureDownload() {
    m_client->Abort();
    if (m_thread)
        m_thread->wait();
}

void TPictureDownload::Start() {
    if (m_thread)
        return;
    const std::shared_ptr<THttpClient> client = m_client;
    client->OnResponse = [this](const THttpResponse& response, QString*) {
        emit Progress(0, response.ContentLength);
        return true;
    };
    client->OnWork = [this, client](qint64 received) { emit Progress(received, client->Response().ContentLength); };
    m_thread.reset(QThread::create([this, client] {
        QString error;
        const bool saved = Save(m_url, m_fileName, &error, client.get(), m_deadlineMs);
        const bool cancelled = !saved && client->Aborted();
        // Back on the owner's thread; the destructor waits for this worker, so this is alive.
        QMetaObject::invokeMethod(
            this,
            [this, saved, cancelled, error] {
                if (saved)
                    emit Saved();
                else if (cancelled)
                    emit Cancelled();
                else
                    emit Failed(error);
            },
            Qt::QueuedConnection);
    }));
    m_thread->start();
}

void TPictureDownload::Cancel() {
    m_client->Abort();
}

bool TPictureDownload::Save(const QString& url, const QString& fileName, QString* error, THttpClient* client,
                            int deadlineMs) {
    auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    THttpClient own;
    THttpClient& http = client ? *client : own;
    http.SetConnectTimeout(kConnectTimeoutMs);
    http.SetReadTimeout(kReadTimeoutMs);
    http.SetDeadline(deadlineMs);
    http.SetMaxBodySize(MaxBytes);
    if (!http.Get(url, &file)) {
        file.cancelWriting();
        return fail(http.ErrorText());
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}
