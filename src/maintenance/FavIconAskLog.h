// The icon addresses asked during this session, shared by every favicon fetcher: each address is
// asked at most once, and later fetchers reuse the icon it gave or skip it.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QString>
#include <QWaitCondition>

class TFavIconAskLog {
public:
    static TFavIconAskLog& Instance();

    // True when nobody has asked the address yet: the caller asks it now and must settle it with
    // Record or Release. False when it was asked before (waiting while another fetcher is still
    // asking it): icon then holds the icon it gave, empty when it gave none.
    bool Claim(const QString& url, QByteArray* icon);
    // The answer of a claimed address: the icon, or empty when the server answered without one.
    void Record(const QString& url, const QByteArray& icon);
    // A claimed address that got no answer at all (offline, refused): it may be asked again.
    void Release(const QString& url);
    // Forgets every address, as a new session would.
    void Clear();

private:
    struct TEntry {
        bool Asking = true;
        QByteArray Icon;
    };

    QMutex m_lock;
    QWaitCondition m_settled;
    QHash<QString, TEntry> m_entries;
};
