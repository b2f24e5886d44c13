// Kinds of files: the download list's file-type icons and the text-file test.
#pragma once

#include <QString>

enum TFileType : int {
    ftDefault = 0,
    ftVideo,
    ftWord,
    ftExe,
    ftAudio,
    ftPdf,
    ftImage,
    ftPpt,
    ftRar,
    ftTxt,
    ftExcel
};

// The TFileType of an extension given with its dot (".mp4"), any letter case; ftDefault when unknown.
int FileTypeOfExtension(const QString& extension);
// True when the file can be read and holds no zero byte.
bool IsTextFile(const QString& path);
