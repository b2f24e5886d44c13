// The icon addresses asked during this session.
#include "maintenance/FavIconAskLog.h"

TFavIconAskLog& TFavIconAskLog::Instance() {
    // Never destroyed: a fetcher thread still running while the process exits keeps using it.
    static TFavIconAskLog* const log = new TFavIconAskLog;
    return *log;
}

bool TFavIconAskLog::Claim(const QString& url, QByteArray* icon) {
    QMutexLocker locker(&m_lock);
    for (;;) {
        const auto entry = m_entries.constFind(url);
        if (entry == m_entries.constEnd()) {
            m_entries.insert(url, TEntry());
            return true;
        }
        if (!entry->Asking) {
            *icon = entry->Icon;
            return false;
        }
        // Another fetcher is asking: its answer serves this one too. When it releases the address
        // instead, the loop claims it here.
        m_settled.wait(&m_lock);
    }
}

void TFavIconAskLog::Record(const QString& url, const QByteArray& icon) {
    QMutexLocker locker(&m_lock);
    m_entries.insert(url, TEntry{false, icon});
    m_settled.wakeAll();
}

void TFavIconAskLog::Release(const QString& url) {
    QMutexLocker locker(&m_lock);
    m_entries.remove(url);
    m_settled.wakeAll();
}

void TFavIconAskLog::Clear() {
    QMutexLocker locker(&m_lock);
    m_entries.clear();
    m_settled.wakeAll();
}
