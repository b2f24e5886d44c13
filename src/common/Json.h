// JSON reader and writer. The reader accepts a comma before a closing "]" (the built-in default
// favorites text has one) and keeps only the elements written before that comma.
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <optional>

// The parsed value, or nothing when the text is not JSON.
std::optional<QJsonValue> ParseJson(const QString& text);
// Compact JSON text of the value.
QString WriteJson(const QJsonValue& value);
// Member access as the callers need it: text of a member ("" when missing or not text;
// numbers give their decimal text).
QString JsonText(const QJsonObject& object, const QString& name);
