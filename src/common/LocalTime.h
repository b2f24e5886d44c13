// Local date-time <-> Unix seconds, the form the data file stores times in.
#pragma once

#include <QDateTime>

// Local date-time <-> Unix seconds, with the time-zone offset in force at that moment. A local
// time the clock skips (inside a daylight-saving gap) counts as the next valid time, the moment
// of the change.
qint32 DateTimeToUnixTime(const QDateTime& localTime);
QDateTime UnixTimeToDateTime(qint64 seconds);
