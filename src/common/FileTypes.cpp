// Kinds of files: the download list's file-type icons and the text-file test.
#include "common/FileTypes.h"

#include <QFile>
#include <QHash>

int FileTypeOfExtension(const QString& extension) {
    static const QHash<QString, int> types = {
        {".avi", ftVideo}, {".flv", ftVideo}, {".mp4", ftVideo}, {".mpg", ftVideo},  {".mpeg", ftVideo},
        {".doc", ftWord},  {".docx", ftWord}, {".rtf", ftWord},  {".exe", ftExe},    {".mp3", ftAudio},
        {".wav", ftAudio}, {".pdf", ftPdf},   {".jpg", ftImage}, {".jpeg", ftImage}, {".bmp", ftImage},
        {".png", ftImage}, {".gif", ftImage}, {".ppt", ftPpt},   {".pptx", ftPpt},   {".rar", ftRar},
        {".zip", ftRar},   {".txt", ftTxt},   {".ini", ftTxt},   {".log", ftTxt},    {".xls", ftExcel},
        {".xlsx", ftExcel}};
    return types.value(extension.toLower(), ftDefault);
}

bool IsTextFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    char chunk[8192];
    for (;;) {
        const qint64 read = file.read(chunk, sizeof chunk);
        if (read < 0)
            return false;
        if (read == 0)
            return true;
        if (memchr(chunk, 0, static_cast<size_t>(read)))
            return false;
    }
}
