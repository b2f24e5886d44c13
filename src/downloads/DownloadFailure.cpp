// DownloadFailure: from a system error or an HTTP status to the failure code and its text.
#include "downloads/DownloadFailure.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cerrno>

namespace {

QString Text(const char* text) {
    return QCoreApplication::translate("TDownload", text);
}

} // namespace

int FileFailure(const QString& errorString, bool creating) {
    // QFile's error text is the system's text of the errno (qt_error_string).
    static const struct {
        int Errno;
        TDownloadFailure Failure;
    } known[] = {{EROFS, dfReadOnly},           {EACCES, dfNoPermission}, {EPERM, dfNoPermission},
                 {ENOSPC, dfNoSpace},           {EDQUOT, dfNoSpace},      {EFBIG, dfFileTooLarge},
                 {ENAMETOOLONG, dfNameTooLong}, {ENOENT, dfNoFolder},     {ENOTDIR, dfNoFolder}};
    for (const auto& entry : known) {
        if (errorString == qt_error_string(entry.Errno))
            return entry.Failure;
    }
    return creating ? dfCannotCreate : dfCannotWrite;
}

int RequestFailure(int httpStatus) {
    return (httpStatus >= 400 && httpStatus <= 599) ? httpStatus : dfNetwork;
}

bool IsFinalFailure(int failure) {
    switch (failure) {
    case dfNone:
    case dfUnknown:
    case dfNetwork:
    case dfCannotWrite: // an I/O error of the moment
    case 408:           // request time-out
    case 425:           // too early
    case 429:           // too many requests
        return false;
    default:
        return failure < 500;
    }
}

QString FailureText(int failure) {
    switch (failure) {
    case dfNetwork:
        return Text("网络连接中断或服务器没有响应");
    case dfFileChanged:
        return Text("服务器上的文件已改变");
    case dfReadOnly:
        return Text("下载文件夹所在的磁盘是只读的");
    case dfNoPermission:
        return Text("没有写入下载文件夹的权限");
    case dfNoSpace:
        return Text("磁盘空间不足");
    case dfNameTooLong:
        return Text("文件名太长，文件系统不接受");
    case dfNoFolder:
        return Text("下载文件夹不存在");
    case dfCannotCreate:
        return Text("无法创建文件");
    case dfCannotWrite:
        return Text("无法写入文件");
    case dfSourceUnreadable:
        return Text("无法读取源文件");
    case dfFileTooLarge:
        return Text("文件超过了文件系统允许的大小");
    case 401:
    case 407:
        return Text("服务器要求登录（HTTP %1）").arg(failure);
    case 403:
        return Text("服务器拒绝访问（HTTP 403）");
    case 404:
        return Text("服务器上没有这个文件（HTTP 404）");
    case 410:
        return Text("文件已从服务器上删除（HTTP 410）");
    case 416:
        return Text("服务器不接受续传的位置（HTTP 416）");
    default:
        break;
    }
    if (failure >= 400 && failure <= 499)
        return Text("服务器拒绝了下载请求（HTTP %1）").arg(failure);
    if (failure >= 500 && failure <= 599)
        return Text("服务器出错（HTTP %1）").arg(failure);
    return Text("下载失败");
}

bool IsStoredFailure(qint64 storedState) {
    return storedState >= dfUnknown;
}

QString FailureDetails(const TDownloadInfo& info) {
    const bool fileFailure = info.Failure >= dfReadOnly && info.Failure < 400;
    const QString place = fileFailure ? QFileInfo(info.FileName).absolutePath() : info.Url;
    return Text("%1（%2）").arg(info.ErrorText.isEmpty() ? FailureText(info.Failure) : info.ErrorText, place);
}
