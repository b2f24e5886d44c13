// The JSON reader on arbitrary text (the favorites file, the vendor API's answers and the settings
// the user imports are read with it): it must not crash, and whatever it accepts must be written
// back as JSON that it reads again to the same text.
#include "common/Json.h"

#include <QJsonObject>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), int(size));
    const std::optional<QJsonValue> value = ParseJson(text);
    if (!value)
        return 0;
    const QString written = WriteJson(*value);
    const std::optional<QJsonValue> again = ParseJson(written);
    if (!again || WriteJson(*again) != written)
        std::abort();
    if (value->isObject()) {
        const QJsonObject object = value->toObject();
        for (auto member = object.begin(); member != object.end(); ++member) {
            JsonText(object, member.key());
            JsonArray(object, member.key());
            JsonObject(object, member.key());
        }
    }
    return 0;
}
