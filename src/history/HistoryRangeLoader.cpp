// The history manager's ranges and their worker.
#include "history/HistoryRangeLoader.h"

#include "common/FavIcons.h"
#include "common/LocalTime.h"
#include "common/Md5.h"
#include "common/Messages.h"
#include "common/Thumbnails.h"

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

THistoryRange THistoryRange::SteppedTo(qint64 time, int days) const {
    if (days == 0)
        return *this;
    const QDateTime when = UnixTimeToDateTime(time);
    const qint64 span = qint64(qAbs(days)) * 86400;
    // Whole steps first (a far visit is reached at once), then single steps for the clock's
    // daylight-saving hours.
    const qint64 distance = days < 0 ? DateTimeToUnixTime(From) - time : time - DateTimeToUnixTime(To);
    THistoryRange range = Shifted(int(qMax<qint64>(0, distance / span - 1)) * days);
    for (int guard = 0; guard < 4 && !(range.From <= when && when <= range.To); ++guard)
        range = range.Shifted(days);
    return range;
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

bool THistoryRangeLoader::Load(const THistoryRange& range, int step) {
    if (Busy())
        return false;
    if (m_thread)
        m_thread->wait();
    THistory& history = m_history;
    QObject* receiver = m_receiver;
    const QString iconFolder = m_iconFolder;
    m_thread.reset(QThread::create([&history, receiver, range, step, iconFolder] {
        THistoryRangeRows result{
            range,
            history.LoadHistoryRange(DateTimeToUnixTime(range.From), DateTimeToUnixTime(range.To)),
            {}};
        if (result.Rows.isEmpty() && step != 0) {
            // Days without visits are passed over: the next window that has some is shown.
            const THistoryInfoList nearest = history.NearestVisit(
                DateTimeToUnixTime(step < 0 ? range.From : range.To), step < 0);
            if (!nearest.isEmpty()) {
                const int days = int(range.From.daysTo(range.To)) * (step < 0 ? -1 : 1);
                result.Range = range.SteppedTo(nearest.first().CreateTime, days);
                result.Rows = history.LoadHistoryRange(DateTimeToUnixTime(result.Range.From),
                                                       DateTimeToUnixTime(result.Range.To));
            }
        }
        result.Icons = ReadIcons(result.Rows, iconFolder);
        QCoreApplication::postEvent(
            receiver, new TRecordMessage<THistoryRangeRows>(WM_HISTORY_LOADED, std::move(result)));
    }));
    m_thread->start();
    return true;
}
