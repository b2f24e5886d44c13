// The history manager's ranges and their worker.
#include "history/HistoryRangeLoader.h"

#include "common/CommonFunc.h"
#include "common/Messages.h"

#include <QCoreApplication>
#include <QThread>

QDateTime THistoryRange::Zero() {
    return QDateTime(QDate(1899, 12, 30), QTime(0, 0));
}

THistoryRange THistoryRange::Latest(const QDateTime& now) {
    return {now.addDays(-2), now};
}

THistoryRange THistoryRange::Shifted(int days) const {
    return {From.addDays(days), To.addDays(days)};
}

THistoryRangeLoader::THistoryRangeLoader(THistory& history, QObject* receiver)
    : m_history(history), m_receiver(receiver) {}

THistoryRangeLoader::~THistoryRangeLoader() {
    if (m_thread)
        m_thread->wait();
}

bool THistoryRangeLoader::Busy() const {
    return m_thread && m_thread->isRunning();
}

bool THistoryRangeLoader::Load(const THistoryRange& range) {
    if (Busy())
        return false;
    if (m_thread)
        m_thread->wait();
    THistory& history = m_history;
    QObject* receiver = m_receiver;
    m_thread.reset(QThread::create([&history, receiver, range] {
        THistoryRangeRows result{
            range, history.LoadHistoryRange(DateTimeToUnixTime(range.From), DateTimeToUnixTime(range.To))};
        QCoreApplication::postEvent(
            receiver, new TRecordMessage<THistoryRangeRows>(WM_HISTORY_LOADED, std::move(result)));
    }));
    m_thread->start(QThread::LowPriority);
    return true;
}
