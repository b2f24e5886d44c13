// Saving a picture from a page.
#include "pagecommands/PictureDownload.h"

#include "common/HttpClient.h"

#include <QSaveFile>

bool TPictureDownload::Save(const QString& url, const QString& fileName, QString* error) {
    auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    THttpClient client;
    client.SetConnectTimeout(15000);
    client.SetReadTimeout(30000);
    if (!client.Get(url, &file)) {
        file.cancelWriting();
        return fail(client.ErrorText());
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}
