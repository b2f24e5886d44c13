// The one-time catch-up of the address search index on a worker thread.
#include "history/SearchIndexCatchUp.h"

#include "history/History.h"

TSearchIndexCatchUp::TSearchIndexCatchUp(THistory& history)
    : m_thread(QThread::create([&history] { history.CatchUpSearchIndex(); })) {
    m_thread->setObjectName(QStringLiteral("SearchIndexCatchUp"));
    m_thread->start(QThread::LowestPriority);
}

TSearchIndexCatchUp::~TSearchIndexCatchUp() {
    m_thread->requestInterruption();
    m_thread->wait();
}

void TSearchIndexCatchUp::Wait() {
    m_thread->wait();
}
