// JSON reader and writer over QJsonDocument, with the reader's tolerance for a comma before "]".
#include "common/Json.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QVariant>

namespace {
// The written text ends (blanks aside) with "[": a comma there has no element before it.
bool FollowsOpening(const QString& written) {
    for (int i = written.size() - 1; i >= 0; --i) {
        if (!written.at(i).isSpace())
            return written.at(i) == QLatin1Char('[');
    }
    return false;
}

// The text without every comma that (blanks aside) comes right before a "]"; commas inside
// strings are kept.
QString DropCommasBeforeBracket(const QString& text) {
    QString result;
    result.reserve(text.size());
    bool inString = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (inString) {
            if (c == QLatin1Char('\\') && i + 1 < text.size()) {
                result += c;
                result += text.at(++i);
                continue;
            }
            if (c == QLatin1Char('"'))
                inString = false;
        } else if (c == QLatin1Char('"')) {
            inString = true;
        } else if (c == QLatin1Char(',')) {
            int next = i + 1;
            while (next < text.size() && text.at(next).isSpace())
                ++next;
            if (next < text.size() && text.at(next) == QLatin1Char(']') && !FollowsOpening(result))
                continue;
        }
        result += c;
    }
    return result;
}
} // namespace

std::optional<QJsonValue> ParseJson(const QString& text) {
    const QString cleaned = DropCommasBeforeBracket(text);
    // Wrapped in an array so that a lone text or number parses as well as an object or array.
    const QByteArray wrapped = "[" + cleaned.toUtf8() + "]";
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(wrapped, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray() || document.array().size() != 1)
        return std::nullopt;
    return document.array().at(0);
}

QString WriteJson(const QJsonValue& value) {
    if (value.isObject())
        return QString::fromUtf8(QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact));
    if (value.isArray())
        return QString::fromUtf8(QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact));
    if (value.isUndefined())
        return QStringLiteral("null");
    const QString wrapped =
        QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact));
    return wrapped.mid(1, wrapped.size() - 2);
}

QString JsonText(const QJsonObject& object, const QString& name) {
    const QJsonValue value = object.value(name);
    if (value.isString())
        return value.toString();
    if (value.isDouble() || value.isBool())
        return value.toVariant().toString();
    return QString();
}
