// Saving a page: the declared-charset reader and the file names taken from addresses, on
// arbitrary page text. No crash, no hang, and a cleaned name is always a safe single file name.
#include "FuzzCheck.h"
#include "pagecommands/PageFileNames.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString source = QString::fromUtf8(reinterpret_cast<const char*>(data), int(size));
    const QByteArray bytes = TPageFileNames::PageSourceBytes(source);
    Check(bytes.endsWith("\r\n"));
    if (TPageFileNames::DeclaresUtf8(source))
        Check(bytes.chopped(2) == source.toUtf8());

    const QString name = TPageFileNames::PictureFileName(source);
    Check(!name.isEmpty() && name.size() <= 200);
    Check(!name.startsWith(QLatin1Char('.')) && !name.contains(QLatin1Char('/')) &&
          !name.contains(QLatin1Char('\\')));
    for (const QChar c : name)
        Check(c.unicode() >= 0x20 && c.unicode() != 0x7F);
    TPageFileNames::PictureExtension(source);
    return 0;
}
