// Saving a picture from a page: the picture's address is fetched with the project's HTTP client
// straight into the chosen file, which exists afterwards only when the whole picture arrived.
#pragma once

#include <QString>

class TPictureDownload final {
public:
    // True when the complete picture was written to fileName (an existing file is replaced only
    // then). On an error status, a broken transfer or an unwritable file nothing is left behind
    // and *error (when given) says why.
    static bool Save(const QString& url, const QString& fileName, QString* error = nullptr);
};
