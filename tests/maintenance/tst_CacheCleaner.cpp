// The cache cleaner's work: each kind empties its stores and leaves the others; a stop before any
// kind leaves every store cleared or untouched, never half; what cannot be removed is reported;
// the kinds kept for cleaning at exit.
#include "common/AppPaths.h"
#include "common/WebCookieJar.h"
#include "downloads/DownloadQueue.h"
#include "history/History.h"
#include "history/PageLog.h"
#include "maintenance/CacheCleaner.h"
#include "storage/Config.h"
#include "support/TestFiles.h"
#include "support/TestDb.h"
#include "support/Unprivileged.h"

#include <QDir>
#include <unistd.h>
#include <QNetworkCookie>
#include <QNetworkDiskCache>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

const QString kPicture = QStringLiteral("http://a.example/picture.png");

} // namespace

class TestCacheCleaner : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(m_app.isValid());
        SetAppDir(m_app.path());
        m_data = std::make_unique<TTestDb>();
        QVERIFY(m_data->Ok());
        m_history = std::make_unique<THistory>(m_data->Db());
        m_queue = std::make_unique<TDownloadQueue>(m_data->Db(), nullptr);
        m_jar = std::make_unique<TWebCookieJar>();
        m_folders = {m_app.path() + QStringLiteral("/icons/"), AppDir() + QStringLiteral("cache/")};
        Fill();
    }

    void cleanup() {
        m_jar.reset();
        m_queue.reset();
        m_history.reset();
        m_data.reset();
        SetAppDir(QString());
    }

    void everyKindEmptiesItsStores() {
        TCacheCleaner cleaner(m_history.get(), m_queue.get(), m_folders);
        const std::atomic<bool> stop{false};
        const TCleanReport report = cleaner.Clean(ckAll, stop);
        QVERIFY(!report.Stopped);
        QCOMPARE(report.Failures, QStringList());
        QVERIFY(!HistoryLeft());
        QCOMPARE(m_history->FindHistoryByUrl(QStringLiteral("example")).size(), 0); // the suggestions
        QCOMPARE(TPageLog(m_data->Db()).CountPageLog(), 0);
        // A running download survives.
        QCOMPARE(m_queue->LoadAllDownloads().size(), 1);
        QCOMPARE(m_queue->LoadAllDownloads().first().State, dsDownloading);
        QVERIFY(!CacheEntryLeft());
        QVERIFY(!IconsLeft());
        QCOMPARE(m_jar->Cookies().size(), 0); // the compatibility engine's live jar
        QCOMPARE(EngineFilesLeft(), 0);
        QVERIFY(QFileInfo(m_folders.EngineData + QStringLiteral("Local Storage/leveldb")).isDir());
    }

    void unTickedKindsAreLeftAlone() {
        TCacheCleaner cleaner(m_history.get(), m_queue.get(), m_folders);
        const std::atomic<bool> stop{false};
        cleaner.Clean(ckAddressList | ckDownloads, stop);
        QVERIFY(!HistoryLeft());
        QCOMPARE(TPageLog(m_data->Db()).CountPageLog(), 1); // only the address list was asked for
        QVERIFY(CacheEntryLeft());
        QVERIFY(IconsLeft());
        QCOMPARE(m_jar->Cookies().size(), 1);
        QCOMPARE(EngineFilesLeft(), 3);
    }

    void aStopLeavesEveryStoreWholeOrCleared_data() {
        QTest::addColumn<int>("stopAt");
        for (int kind : {int(ckHistory), int(ckDownloads), int(ckCache), int(ckAddressList), int(ckCookies)})
            QTest::newRow(qPrintable(QString::number(kind))) << kind;
    }

    void aStopLeavesEveryStoreWholeOrCleared() {
        QFETCH(int, stopAt);
        TCacheCleaner cleaner(m_history.get(), m_queue.get(), m_folders);
        std::atomic<bool> stop{false};
        cleaner.OnStep = [&](int kind) {
            if (kind == stopAt)
                stop = true;
        };
        const TCleanReport report = cleaner.Clean(ckAll, stop);
        QVERIFY(report.Stopped);
        const bool historyCleared = stopAt > ckHistory;
        QCOMPARE(HistoryLeft(), !historyCleared);
        // History and the page log go together, and the search index follows the rows.
        QCOMPARE(TPageLog(m_data->Db()).CountPageLog(), historyCleared ? 0 : 1);
        QCOMPARE(m_history->FindHistoryByUrl(QStringLiteral("example")).size(), historyCleared ? 0 : 2);
        QCOMPARE(m_queue->LoadAllDownloads().size(), stopAt > ckDownloads ? 1 : 3);
        QCOMPARE(IconsLeft(), stopAt <= ckCache);
        QCOMPARE(CacheEntryLeft(), stopAt <= ckCache);
        QCOMPARE(m_jar->Cookies().size(), 1);
        QCOMPARE(EngineFilesLeft(), 3);
    }

    void whatCannotBeRemovedIsReported() {
        // Folders the unprivileged check can enter, holding a locked folder and an unreadable one.
        const QString icons = m_folders.FavIcons;
        QVERIFY(WriteTestFile(icons + QStringLiteral("locked/a.ico"), "data"));
        QVERIFY(WriteTestFile(icons + QStringLiteral("private/b.ico"), "data"));
        const auto open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                          QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup;
        for (QString folder = icons; folder.startsWith(m_app.path()); folder = QFileInfo(folder).path())
            QFile::setPermissions(folder, open);
        QFile::setPermissions(icons, open);
        QFile::setPermissions(icons + QStringLiteral("locked"),
                              QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        QFile::setPermissions(icons + QStringLiteral("private"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        TCleanFolders folders = m_folders;
        const QString failure = RunWithoutPrivileges([folders]() -> QString {
            TCacheCleaner cleaner(nullptr, nullptr, folders);
            const std::atomic<bool> stop{false};
            const QStringList failures = cleaner.Clean(ckCache, stop).Failures;
            if (!failures.contains(folders.FavIcons + QStringLiteral("locked/a.ico")))
                return QStringLiteral("the locked file is not reported: ") + failures.join(',');
            if (!failures.contains(folders.FavIcons + QStringLiteral("private/")))
                return QStringLiteral("the unreadable folder is not reported: ") + failures.join(',');
            return QString();
        });
        QFile::setPermissions(icons + QStringLiteral("locked"), open);
        QFile::setPermissions(icons + QStringLiteral("private"), open);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }

    void aFileGoneBeforeTheReportIsNotReported() {
        // The engine takes a file away itself after the cleaner failed to: cleared, not failed.
        const QString locked = m_folders.FavIcons + QStringLiteral("gone/");
        QVERIFY(WriteTestFile(locked + QStringLiteral("c.ico"), "data"));
        if (::getuid() == 0)
            QVERIFY(::chown(qPrintable(locked), 65534, 65534) == 0);
        for (QString folder = m_folders.FavIcons; folder.startsWith(m_app.path()); folder = QFileInfo(folder).path())
            QFile::setPermissions(folder, QFile::permissions(folder) | QFile::ExeOther | QFile::ReadOther);
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
        TCleanFolders folders = m_folders;
        const QString failure = RunWithoutPrivileges([folders, locked]() -> QString {
            TCacheCleaner cleaner(nullptr, nullptr, folders);
            cleaner.OnStep = [locked](int kind) {
                if (kind == ckCookies) {
                    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
                    QFile::remove(locked + QStringLiteral("c.ico"));
                }
            };
            const std::atomic<bool> stop{false};
            const QStringList failures = cleaner.Clean(ckCache | ckCookies, stop).Failures;
            return failures.contains(locked + QStringLiteral("c.ico")) ? QStringLiteral("reported: ") + failures.join(',')
                                                                      : QString();
        });
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }

    void storedKindsForCleaningAtExit() {
        TConfig config(m_data->Db());
        QCOMPARE(StoredCleanKinds(config), int(kDefaultCleanKinds));
        QVERIFY(!(kDefaultCleanKinds & ckCookies));
        QVERIFY(StoreCleanKinds(config, ckCookies | ckCache));
        QCOMPARE(StoredCleanKinds(config), ckCookies | ckCache);
        QVERIFY(StoreCleanKinds(config, 0));
        QCOMPARE(StoredCleanKinds(config), 0);
    }

private:
    void Fill() {
        THistoryInfo visit;
        visit.SiteName = QStringLiteral("页面");
        visit.SiteUrl = QStringLiteral("http://a.example/");
        visit.IsClose = true;
        QVERIFY(m_history->AddVisit(visit));
        visit.SiteUrl = QStringLiteral("http://b.example/");
        QVERIFY(m_history->AddVisit(visit));
        QVERIFY(TPageLog(m_data->Db()).SavePageLog({{QStringLiteral("http://a.example/")}}));
        for (TDownloadState state : {dsPaused, dsFinished, dsDownloading}) {
            TDownloadInfo download;
            download.Url = QStringLiteral("http://files.example/%1.zip").arg(int(state));
            download.FileName = m_app.path() + QStringLiteral("/%1.zip").arg(int(state));
            download.State = state;
            QVERIFY(m_queue->InsertDownload(download));
        }
        QVERIFY(WriteTestFile(m_folders.FavIcons + QStringLiteral("0123.ico"), "data"));
        QNetworkDiskCache cache;
        cache.setCacheDirectory(AppDir() + QStringLiteral("cache/webcontrol/"));
        QNetworkCacheMetaData meta;
        meta.setUrl(QUrl(kPicture));
        meta.setSaveToDisk(true);
        QIODevice* device = cache.prepare(meta);
        QVERIFY(device);
        device->write("picture");
        cache.insert(device);
        QNetworkCookie cookie("session", "1");
        cookie.setDomain(QStringLiteral("a.example"));
        cookie.setExpirationDate(QDateTime::currentDateTime().addDays(3));
        QVERIFY(m_jar->insertCookie(cookie));
        for (const char* file :
             {"Cookies", "Local Storage/leveldb/000003.log", "Local Storage/leveldb/MANIFEST-000001"})
            QVERIFY(WriteTestFile(m_folders.EngineData + QLatin1String(file), "data"));
    }

    bool HistoryLeft() const { return !m_history->LoadHistoryRange(0, 0x7FFFFFFF).isEmpty(); }
    bool IconsLeft() const { return QFileInfo::exists(m_folders.FavIcons + QStringLiteral("0123.ico")); }
    bool CacheEntryLeft() const {
        QNetworkDiskCache cache;
        cache.setCacheDirectory(AppDir() + QStringLiteral("cache/webcontrol/"));
        return cache.metaData(QUrl(kPicture)).isValid();
    }
    int EngineFilesLeft() const {
        int files = 0;
        for (const char* file :
             {"Cookies", "Local Storage/leveldb/000003.log", "Local Storage/leveldb/MANIFEST-000001"})
            files += QFileInfo::exists(m_folders.EngineData + QLatin1String(file)) ? 1 : 0;
        return files;
    }

    QTemporaryDir m_app;
    std::unique_ptr<TTestDb> m_data;
    std::unique_ptr<THistory> m_history;
    std::unique_ptr<TDownloadQueue> m_queue;
    std::unique_ptr<TWebCookieJar> m_jar;
    TCleanFolders m_folders;
};

QTEST_GUILESS_MAIN(TestCacheCleaner)
#include "tst_CacheCleaner.moc"
