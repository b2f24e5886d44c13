// Paced icon requests of the favorites bar and menu.
#include "favorites/FavIconQueue.h"

TFavIconQueue::TFavIconQueue(TRequester request, QObject* parent)
    : QObject(parent), m_request(std::move(request)) {
    connect(&m_timer, &QTimer::timeout, this, &TFavIconQueue::HandOut);
}

void TFavIconQueue::Ask(const QString& url, const QString& iconFile) {
    if (m_asked.contains(iconFile) || !m_opened.contains(url.trimmed()))
        return;
    m_asked.insert(iconFile);
    m_queue.enqueue({url, iconFile});
    if (!m_timer.isActive())
        m_timer.start(0);
}

void TFavIconQueue::NoteOpened(const QString& url) {
    m_opened.insert(url.trimmed());
}

void TFavIconQueue::HandOut() {
    for (int i = 0; i < BatchSize && !m_queue.isEmpty(); ++i) {
        const QPair<QString, QString> next = m_queue.dequeue();
        m_request(next.first, next.second);
    }
    if (m_queue.isEmpty())
        m_timer.stop();
    else
        m_timer.start(IntervalMs);
}
