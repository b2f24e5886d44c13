// Page text cut and cleaned for the data file.
#include "history/StoredText.h"

QString TStoredText::Title(const QString& title) {
    QString text = title.left(MaxTitleLength * 2); // no more than needed goes through remove()
    text.remove(QChar(0));
    if (text.size() > MaxTitleLength) {
        const bool splitsPair = text.at(MaxTitleLength - 1).isHighSurrogate();
        text.truncate(splitsPair ? MaxTitleLength - 1 : MaxTitleLength);
    }
    return text;
}

QString TStoredText::Address(const QString& address) {
    QString text = address;
    return text.replace(QChar(0), QLatin1String("%00"));
}
