// The download record carried by every download message and read from the download table, and the
// states a download moves through.
#pragma once

#include <QMetaType>
#include <QString>
#include <QtGlobal>

enum TDownloadState : quint8 {
    dsPaused = 0,      // not running; resumable from Position
    dsFinished = 1,    // the whole file arrived
    dsDownloading = 2, // a worker runs for it (or ran, before the program closed)
    dsFailed = 3       // stopped for good (Failure says why); resumable by the user like a paused one
};

// Copied by value. The texts are held whole: signed download addresses run past a thousand
// characters and deep download folders past 260.
struct TDownloadInfo {
    QString FileName;     // full path of the target file; empty in worker messages
    QString Url;          // the address exactly as stored: the key of the row
    qint64 Position = 0;  // bytes the file holds
    qint64 TotalSize = 0; // 0 while the size is unknown
    TDownloadState State = dsPaused;
    QString ProgressText; // "speed/S received/total", only in progress messages
    QString ErrorText;    // why the download stopped (FailureText of Failure), in failed rows
    int Failure = 0;      // a TDownloadFailure code in failed rows; stored as the row's state
};

Q_DECLARE_METATYPE(TDownloadInfo)
