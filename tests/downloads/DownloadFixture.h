// Shared pieces of the download tests: a queue on a fresh data file with its notices recorded, an
// owner that records the messages it receives, and a capture of the program's log lines.
#pragma once

#include "support/LogCapture.h"
#include "common/Messages.h"
#include "downloads/DownloadQueue.h"
#include "support/TestDb.h"
#include "support/TestFiles.h"
#include "support/TestServer.h"

#include <QFile>
#include <QMutex>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QVector>

// Records every posted message it receives: its id, its parameters and, for download messages,
// the record.
class TMessageRecorder : public QObject {
public:
    struct TEntry {
        int Id;
        qintptr WParam;
        qintptr LParam;
        TDownloadInfo Record;
    };
    QVector<TEntry> Entries;

    int Count(int id) const {
        int n = 0;
        for (const TEntry& entry : Entries)
            n += entry.Id == id;
        return n;
    }

protected:
    void customEvent(QEvent* event) override {
        const auto* message = dynamic_cast<TMessageEvent*>(event);
        if (!message)
            return;
        TEntry entry{message->Id(), message->WParam, message->LParam, TDownloadInfo()};
        if (const auto* record = dynamic_cast<TRecordMessage<TDownloadInfo>*>(event))
            entry.Record = record->Record;
        Entries.append(entry);
    }
};

// A queue on a fresh data file, owned by a recording owner, with short retries and every notice
// kept. Files go to Dir.
struct TDownloadFixture {
    TDownloadFixture() : Queue(new TDownloadQueue(TestDb.Db(), &Owner)) {
        Queue->RetryInterval = 20;
        Queue->OnProgress = [this](const TDownloadInfo& info) { Progress.append(info); };
        Queue->OnFinished = [this](const TDownloadInfo& info) { Finished.append(info); };
        Queue->OnFailed = [this](const TDownloadInfo& info) { Failed.append(info); };
    }

    QString FilePath(const QString& name) const { return Dir.filePath(name); }


    // A stored row as if an earlier run had left it.
    void StoreRow(const QString& url, const QString& fileName, qint64 position, qint64 totalSize,
                  TDownloadState state) {
        TDownloadInfo info;
        info.Url = url;
        info.FileName = fileName;
        info.Position = position;
        info.TotalSize = totalSize;
        info.State = state;
        Queue->InsertDownload(info);
    }

    // An interrupted earlier download: the file holds the first bytes of the generated content and
    // the paused row says so.
    bool StorePartial(const QString& url, const QString& fileName, qint64 held, qint64 totalSize,
                      TDownloadState state = dsPaused) {
        StoreRow(url, fileName, held, totalSize, state);
        return WriteTestFile(fileName, TTestServer::GeneratedBytes(0, held));
    }

    TTestDb TestDb;
    QTemporaryDir Dir;
    TMessageRecorder Owner; // owns Queue: destroyed before the data file
    TDownloadQueue* Queue;
    QList<TDownloadInfo> Progress;
    QList<TDownloadInfo> Finished;
    QList<TDownloadInfo> Failed;
};
