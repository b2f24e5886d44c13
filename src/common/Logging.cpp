// The program's log line.
#include "common/Logging.h"

#include "BuildConfig.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcQuellon, "quellon", QtInfoMsg)

void WriteLog(const QString& text) {
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    qCInfo(lcQuellon).noquote() << QStringLiteral("[%1 %2]: %3")
                                       .arg(QLatin1String(BuildConfig::VendorName),
                                            QLatin1String(BuildConfig::Version), line);
}
