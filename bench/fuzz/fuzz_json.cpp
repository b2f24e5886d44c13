// The JSON reader on arbitrary text (it reads the vendor API's, the update check's and the
// translator's answers, and messages from pages): it must not crash, and whatever it accepts must
// be written back as JSON that it reads again, the same text from then on.
#include "FuzzCheck.h"
#include "common/Json.h"

#include <QJsonObject>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), int(size));
    const std::optional<QJsonValue> value = ParseJson(text);
    if (!value)
        return 0;
    // Written text reads again. Qt's reader also takes raw control characters inside strings,
    // and orders keys holding a NUL differently once they come back escaped, so the written form
    // is compared from its second round on: by then it must not change.
    const std::optional<QJsonValue> again = ParseJson(WriteJson(*value));
    Check(again.has_value());
    const QString written = WriteJson(*again);
    const std::optional<QJsonValue> third = ParseJson(written);
    Check(third && WriteJson(*third) == written);
    if (value->isObject()) {
        const QJsonObject object = value->toObject();
        for (auto member = object.begin(); member != object.end(); ++member)
            JsonText(object, member.key());
    }
    return 0;
}
