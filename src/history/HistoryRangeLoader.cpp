// The history manager's ranges and their worker.
#include "history/HistoryRangeLoader.h"

#include "common/CommonFunc.h"
#include "common/Messages.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSet>
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

namespace {

// The icons of the rows' addresses whose icon files exist, each read once.
QHash<QString, QImage> ReadIcons(const THistoryInfoList& rows, const QString& folder) {
    QHash<QString, QImage> icons;
    QSet<QString> seen;
    for (const THistoryInfo& row : rows) {
        if (seen.contains(row.SiteUrl))
            continue;
        seen.insert(row.SiteUrl);
        const QString file = folder + FavIconFileName(row.SiteUrl);
        if (!QFileInfo::exists(file))
            continue;
        const QImage icon = MakeThumbnail(file, QString(), 16, false);
        if (!icon.isNull())
            icons.insert(Md5Hex(row.SiteUrl), icon);
    }
    return icons;
}

} // namespace

THistoryRangeLoader::THistoryRangeLoader(THistory& history, QObject* receiver, QString iconFolder)
    : m_history(history), m_receiver(receiver), m_iconFolder(std::move(iconFolder)) {}

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
    const QString iconFolder = m_iconFolder;
    m_thread.reset(QThread::create([&history, receiver, range, iconFolder] {
        THistoryRangeRows result{
            range,
            history.LoadHistoryRange(DateTimeToUnixTime(range.From), DateTimeToUnixTime(range.To)),
            {}};
        result.Icons = ReadIcons(result.Rows, iconFolder);
        QCoreApplication::postEvent(
            receiver, new TRecordMessage<THistoryRangeRows>(WM_HISTORY_LOADED, std::move(result)));
    }));
    m_thread->start();
    return true;
}
