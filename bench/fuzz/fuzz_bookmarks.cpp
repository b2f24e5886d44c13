// Fuzz target of the bookmark file parser: any bytes are parsed and checked for wholeness without
// a crash, a hang or a leak.
#include "favorites/BookmarkParser.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size));
    BookmarkBytesLookWhole(bytes);
    ParseBookmarkHtml(bytes);
    return 0;
}
