// Why a download stopped for good: a code the worker picks from the system's or the server's
// answer, the Chinese text the user reads, and whether asking again could help. The code is what
// the download table keeps in its state column for a failed row (values above the three ordinary
// states), so a failed row stays failed, with its reason, after a restart.
#pragma once

#include "downloads/DownloadInfo.h"

#include <QString>

enum TDownloadFailure : int {
    dfNone = 0,
    dfUnknown = 3,           // the first value above the ordinary states
    dfNetwork = 4,           // connection broken, refused or silent
    dfFileChanged = 5,       // the server's file is another one now
    dfReadOnly = 10,         // the folder's file system is mounted read-only
    dfNoPermission = 11,     // no right to write into the folder or the file
    dfNoSpace = 12,          // the disk (or the user's quota) is full
    dfNameTooLong = 13,      // the file system refuses a name that long
    dfNoFolder = 14,         // the folder does not exist (or a part of it is a file)
    dfCannotCreate = 15,     // the file cannot be created for another reason
    dfCannotWrite = 16,      // a write failed for another reason
    dfSourceUnreadable = 17, // a file of this computer that cannot be read
    dfFileTooLarge = 18      // larger than the file system allows one file to be
    // 400 to 599: the server answered with that HTTP status.
};

// The failure a file error stands for, from QFile's error text (the system's text of its errno).
int FileFailure(const QString& errorString, bool creating);
// The failure of a request that ended without the whole body: the status when it was an error
// status, else a network failure.
int RequestFailure(int httpStatus);
// True when asking again cannot cure it: the file cannot be created or written (full disk,
// read-only, no right, name too long), the server refuses the request (4xx other than time-out
// and rate limit), the server's file changed.
bool IsFinalFailure(int failure);
// The text shown for it, in Chinese ("磁盘空间不足", "服务器上没有这个文件（HTTP 404）").
QString FailureText(int failure);
// A stored state value: 0 to 2 are the ordinary states, anything above is a failure code.
bool IsStoredFailure(qint64 storedState);
// The line a failed row shows under its name: the reason first, then where it failed (the
// folder of a file that could not be written, else the address).
QString FailureDetails(const TDownloadInfo& info);
