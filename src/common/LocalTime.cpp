// Local date-time <-> Unix seconds, the form the data file stores times in.
#include "common/LocalTime.h"

namespace {

// The local wall-clock reading at an instant, counted like Unix milliseconds.
qint64 WallClockMSecs(qint64 msecs) {
    return msecs + QDateTime::fromMSecsSinceEpoch(msecs, Qt::LocalTime).offsetFromUtc() * 1000LL;
}

// The instant the clock skips over a wall-clock time that does not exist (a daylight-saving gap,
// such as 00:00 where the change happens at midnight): the first second whose reading is later.
qint64 EndOfSkippedTime(const QDateTime& localTime) {
    const qint64 wall = QDateTime(localTime.date(), localTime.time(), Qt::UTC).toMSecsSinceEpoch();
    // Zone offsets stay within a day of UTC, and the reading grows with time around a gap.
    constexpr qint64 kDay = 86400000;
    qint64 before = (wall - kDay) / 1000;
    qint64 after = (wall + kDay) / 1000;
    while (after - before > 1) {
        const qint64 middle = before + (after - before) / 2;
        if (WallClockMSecs(middle * 1000) > wall)
            after = middle;
        else
            before = middle;
    }
    return after * 1000;
}

} // namespace

qint32 DateTimeToUnixTime(const QDateTime& localTime) {
    qint64 ms = 0;
    if (localTime.isValid())
        ms = localTime.toMSecsSinceEpoch();
    else if (localTime.timeSpec() == Qt::LocalTime && localTime.date().isValid() &&
             localTime.time().isValid())
        ms = EndOfSkippedTime(localTime);
    else
        return 0;
    // Nearest whole second, also for times before 1970.
    const qint64 seconds = (ms >= 0 ? ms + 500 : ms - 499) / 1000;
    return static_cast<qint32>(seconds);
}

QDateTime UnixTimeToDateTime(qint64 seconds) {
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::LocalTime);
}
