// The data file's text codec (GB18030).
#include "common/AnsiCodec.h"

#include <QTextCodec>

namespace {
QTextCodec* Codec() {
    static QTextCodec* const codec = QTextCodec::codecForName("GB18030");
    return codec;
}
} // namespace

QByteArray ToAnsi(const QString& text) { return Codec()->fromUnicode(text); }

QString FromAnsi(const QByteArray& bytes) { return Codec()->toUnicode(bytes); }

QString FromAnsi(const char* bytes, int length) { return Codec()->toUnicode(bytes, length); }

bool HasMultiByteChars(const QString& text) {
    return ToAnsi(text).size() != text.size();
}
