// The favorites' icon requests, handed out a few at a time: every build of the bar lists each
// favorite whose icon file is missing, and each request may start a fetcher thread, so a bar of
// thousands of favorites must not start thousands of fetchers at once. Only favorites the user
// opened in this session are fetched: an imported list (addresses of the local network included)
// must not make the browser contact every site in it without a click; the others keep the
// stored or the default icon.
#pragma once

#include <QObject>
#include <QPair>
#include <QQueue>
#include <QSet>
#include <QTimer>
#include <functional>

class TFavIconQueue final : public QObject {
    Q_OBJECT
public:
    using TRequester = std::function<void(const QString& url, const QString& iconFile)>;
    // Requests handed out together, and the pause before the next ones.
    static constexpr int BatchSize = 4;
    static constexpr int IntervalMs = 1000;

    explicit TFavIconQueue(TRequester request, QObject* parent = nullptr);

    // Queues the request for an icon file, once per session, when the user has opened url: a
    // later build asking for the same file again (its fetch found no icon) adds nothing. The first
    // batch goes out once the caller's build has returned to the event loop.
    void Ask(const QString& url, const QString& iconFile);
    // The user opened this favorite: its icon may be fetched from now on.
    void NoteOpened(const QString& url);
    int Pending() const { return m_queue.size(); }

private:
    void HandOut();

    TRequester m_request;
    QQueue<QPair<QString, QString>> m_queue; // address and icon file, in the order asked
    QSet<QString> m_asked;                   // icon files queued or handed out
    QSet<QString> m_opened;                  // addresses the user opened this session
    QTimer m_timer;
};
