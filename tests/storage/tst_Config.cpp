// Tests of the configuration store: conversions of stored text into typed fields, writing keys,
// and the defaults without a data file.
#include "storage/Config.h"
#include "storage/DbMain.h"
#include "storage/SqlText.h"
#include "support/TestDb.h"

#include <QStandardPaths>
#include <QtTest>
#include <functional>

namespace {

// Every typed field as text, so one table of cases covers all fourteen keys.
QString FieldOfKey(const TConfig& config, int key) {
    switch (key) {
    case 1:
        return QString::number(config.SkinIndex);
    case 2:
        return QString::number(config.StartMode);
    case 3:
        return config.HomePage;
    case 4:
        return QString::number(config.FilterPopups);
    case 5:
        return QString::number(config.BossKeyEnabled);
    case 6:
        return QString::number(config.BossKey);
    case 7:
        return QString::number(config.DownloadFolderMode);
    case 8:
        return config.DownloadFolder;
    case 9:
        return QString::number(config.PlayFinishedSound);
    case 10:
        return QString::number(config.ConfirmDeleteDownload);
    case 11:
        return QString::number(config.DisableShortcuts);
    case 12:
        return config.LastDownloadFolder;
    case 13:
        return QString::number(config.MakeDefaultBrowser);
    case 14:
        return QString::number(config.ClearTracesOnExit);
    }
    return QStringLiteral("<no such key>");
}

int RowsOfKey(TDb& db, int key) {
    auto table = db.Query(QStringLiteral("SELECT COUNT(*) AS n FROM qb_config WHERE cfg_key = ") +
                          QString::number(key));
    return table ? int(table->FieldAsInt64(QStringLiteral("n"))) : -1;
}

const QString kDefaults[] = {"0", "0", "", "0", "0", "0", "0", "", "0", "0", "0", "", "0", "0"};

} // namespace

class TestConfig : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void loadConverts_data();
    void loadConverts();
    void emptyFileGivesDefaults();
    void setValueInsertsThenUpdates();
    void textRoundTrip_data();
    void textRoundTrip();
    void bossKeyStoredAsDecimal();
    void withoutDataFile();
};

void TestConfig::loadConverts_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("field");

    QTest::newRow("skin index") << 1 << "7"
                                << "7";
    QTest::newRow("skin index padded") << 1 << " 3\t"
                                       << "3";
    QTest::newRow("skin index not a number") << 1 << "abc"
                                             << "0";
    QTest::newRow("skin index with trailing text") << 1 << "5x"
                                                   << "0";
    QTest::newRow("skin index too large") << 1 << "99999999999"
                                          << "0";
    QTest::newRow("start mode") << 2 << "1"
                                << "1";
    QTest::newRow("start mode keeps the low byte") << 2 << "257"
                                                   << "1";
    QTest::newRow("start mode negative") << 2 << "-1"
                                         << "255";
    QTest::newRow("home page trimmed") << 3 << "  http://example.com/  \r\n"
                                       << "http://example.com/";
    QTest::newRow("flag on") << 4 << "1"
                             << "1";
    QTest::newRow("flag 01 is off") << 4 << "01"
                                    << "0";
    QTest::newRow("flag true is off") << 5 << "true"
                                      << "0";
    QTest::newRow("flag 2 is off") << 9 << "2"
                                   << "0";
    QTest::newRow("flag trimmed") << 10 << " 1 "
                                  << "1";
    QTest::newRow("boss key") << 6 << "49242"
                              << "49242";
    QTest::newRow("boss key keeps 16 bits") << 6 << "70000"
                                            << "4464";
    QTest::newRow("download folder mode") << 7 << "1"
                                          << "1";
    QTest::newRow("download folder") << 8 << QStringLiteral("/home/u/下载/")
                                     << QStringLiteral("/home/u/下载/");
    QTest::newRow("shortcuts disabled") << 11 << "1"
                                        << "1";
    QTest::newRow("last download folder") << 12 << "/tmp/d/"
                                          << "/tmp/d/";
    QTest::newRow("default browser") << 13 << "1"
                                     << "1";
    QTest::newRow("clear traces") << 14 << "1"
                                  << "1";
}

void TestConfig::loadConverts() {
    QFETCH(int, key);
    QFETCH(QString, stored);
    QFETCH(QString, field);
    TTestDb test;
    QVERIFY(test.Ok());
    QVERIFY(test.Db().Execute(QStringLiteral("INSERT INTO qb_config (cfg_key, cfg_value) VALUES (%1, %2)")
                                  .arg(key)
                                  .arg(SqlQuote(stored))));
    TConfig config(test.Db());
    config.LoadConfig();
    QCOMPARE(FieldOfKey(config, key), field);
    // Every other key keeps its default.
    for (int other = 1; other <= 14; ++other) {
        if (other != key)
            QCOMPARE(FieldOfKey(config, other), kDefaults[other - 1]);
    }
}

void TestConfig::emptyFileGivesDefaults() {
    TTestDb test;
    QVERIFY(test.Ok());
    TConfig config(test.Db());
    config.SkinIndex = 5; // loading overwrites whatever the fields held
    config.HomePage = QStringLiteral("x");
    config.LoadConfig();
    for (int key = 1; key <= 14; ++key)
        QCOMPARE(FieldOfKey(config, key), kDefaults[key - 1]);
    QCOMPARE(config.GetValue(TConfigKey::HomePage), QString());
}

void TestConfig::setValueInsertsThenUpdates() {
    TTestDb test;
    QVERIFY(test.Ok());
    TConfig config(test.Db());
    QCOMPARE(RowsOfKey(test.Db(), 2), 0);
    QVERIFY(config.SetValue(TConfigKey::StartMode, QStringLiteral("1")));
    QCOMPARE(RowsOfKey(test.Db(), 2), 1);
    QCOMPARE(config.GetValue(TConfigKey::StartMode), QStringLiteral("1"));
    QVERIFY(config.SetValue(TConfigKey::StartMode, QStringLiteral("0")));
    QCOMPARE(RowsOfKey(test.Db(), 2), 1);
    QCOMPARE(config.GetValue(TConfigKey::StartMode), QStringLiteral("0"));
    QCOMPARE(RowsOfKey(test.Db(), 3), 0); // other keys untouched
    config.LoadConfig();
    QCOMPARE(config.StartMode, quint8(0));
}

void TestConfig::textRoundTrip_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("quote") << QStringLiteral("http://example.com/?q=O'Neil's");
    QTest::newRow("sql in the text") << QStringLiteral("'); DELETE FROM qb_config; --");
    QTest::newRow("chinese and emoji") << QStringLiteral("http://例子.中国/首页😀");
    QTest::newRow("percent and backslash") << QStringLiteral("http://h/a%20b\\c_d");
}

void TestConfig::textRoundTrip() {
    QFETCH(QString, text);
    TTestDb test;
    QVERIFY(test.Ok());
    TConfig writer(test.Db());
    QVERIFY(writer.SetValue(TConfigKey::ClearTracesOnExit, QStringLiteral("1")));
    QVERIFY(writer.SetValue(TConfigKey::HomePage, text));
    QVERIFY(writer.SetValue(TConfigKey::HomePage, text)); // the update statement quotes the same way
    TConfig reader(test.Db());
    reader.LoadConfig();
    QCOMPARE(reader.HomePage, text);
    QCOMPARE(reader.ClearTracesOnExit, true);
    QCOMPARE(RowsOfKey(test.Db(), 3), 1);
}

void TestConfig::bossKeyStoredAsDecimal() {
    TTestDb test;
    QVERIFY(test.Ok());
    TConfig config(test.Db());
    const quint16 ctrlAltZ = 0x5A + 0x4000 + 0x8000;
    QVERIFY(config.SetValue(TConfigKey::BossKey, QString::number(ctrlAltZ)));
    auto table = test.Db().Query(QStringLiteral("SELECT cfg_value FROM qb_config WHERE cfg_key = 6"));
    QVERIFY(table);
    QCOMPARE(table->FieldAsText(QStringLiteral("cfg_value")), QStringLiteral("49242"));
    config.LoadConfig();
    QCOMPARE(config.BossKey, ctrlAltZ);
}

void TestConfig::withoutDataFile() {
    TDb db;
    QTemporaryDir dir;
    QVERIFY(!db.Open(dir.filePath(QStringLiteral("data.dat"))));
    TConfig config(db);
    config.LoadConfig();
    for (int key = 1; key <= 14; ++key)
        QCOMPARE(FieldOfKey(config, key), kDefaults[key - 1]);
    QCOMPARE(config.GetValue(TConfigKey::Skin), QString());
    QVERIFY(!config.SetValue(TConfigKey::Skin, QStringLiteral("3")));
}

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_Config.moc"
