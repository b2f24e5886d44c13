// Tests of the data file access layer: transactions and scripts, result-set kinds and errors,
// text round trips through the file's codec, damaged / missing / read-only files and threads.
#include "support/LogCapture.h"
#include "common/AnsiCodec.h"
#include "storage/DbMain.h"
#include "storage/SqlText.h"
#include "support/TestDb.h"
#include "support/Unprivileged.h"

#include <QFile>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <functional>
#include <sys/stat.h>

namespace {

QStringList PageLogUrls(TDb& db) {
    QStringList urls;
    auto table = db.Query(QStringLiteral("SELECT url FROM qb_page_log ORDER BY id"));
    if (!table)
        return {QStringLiteral("<no table>")};
    for (; !table->AtEnd(); table->MoveNext())
        urls << table->FieldAsText(QStringLiteral("url"));
    return urls;
}

qint64 CountRows(TDb& db, const QString& table) {
    auto result = db.Query(QStringLiteral("SELECT COUNT(*) AS n FROM ") + table);
    return result && result->RowCount() == 1 ? result->FieldAsInt64(QStringLiteral("n")) : -1;
}

QString InsertPageLog(const QString& url) {
    return QStringLiteral("INSERT INTO qb_page_log (url) VALUES (") + SqlQuote(url) + QStringLiteral(");");
}

} // namespace

class TestDbMain : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void scriptLines_data();
    void scriptLines();
    void executeIsOneTransaction();
    void emptyTextRunsNothing();
    void lastInsertId();
    void declaredTypeKinds_data();
    void declaredTypeKinds();
    void expressionColumnsTakeTheirValuesKind();
    void resultSetErrors();
    void textRoundTrip_data();
    void textRoundTrip();
    void nulCharactersAreLeftOut();
    void missingFile();
    void unusableFile_data();
    void unusableFile();
    void readOnlyFile_data();
    void readOnlyFile();
    void secondConnectionSharesTheFile();
    void concurrentCallsStayConsistent();
};

void TestDbMain::scriptLines_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QStringList>("stored");

    QTest::newRow("line without semicolon is skipped")
        << InsertPageLog("a") + "\n" + InsertPageLog("b").chopped(1) << true << QStringList{"a"};
    QTest::newRow("CR, LF and CRLF end lines") << InsertPageLog("a") + "\r" + InsertPageLog("b") + "\r\n" +
                                                      InsertPageLog("c") + "\n" + InsertPageLog("d")
                                               << true << QStringList{"a", "b", "c", "d"};
    // Characters up to U+0020 are trimmed; DEL is not, so its line does not end in ";".
    QTest::newRow("blanks and control characters trimmed")
        << "\n  \t" + InsertPageLog("a") + " \x01\t\n\n   \n\x02" + InsertPageLog("b") + "\x7f\n" +
               InsertPageLog("c") + "\x1f"
        << true << QStringList{"a", "c"};
    QTest::newRow("third of five fails: none kept")
        << InsertPageLog("1") + "\n" + InsertPageLog("2") + "\nINSERT INTO qb_nothing (url) VALUES ('3');\n" +
               InsertPageLog("4") + "\n" + InsertPageLog("5")
        << false << QStringList{};
    QTest::newRow("statement over two lines never runs")
        << InsertPageLog("a") + "\nINSERT INTO qb_page_log (url)\nVALUES ('b');" << false << QStringList{};
    QTest::newRow("only the first statement of a line")
        << InsertPageLog("a") + " " + InsertPageLog("b") << true << QStringList{"a"};
    QTest::newRow("a line that is not a statement fails the script")
        << InsertPageLog("a") + "\nhello;" << false << QStringList{};
    QTest::newRow("no runnable line") << "-- nothing here\n\n" << true << QStringList{};
}

void TestDbMain::scriptLines() {
    QFETCH(QString, script);
    QFETCH(bool, result);
    QFETCH(QStringList, stored);
    TTestDb test;
    QVERIFY(test.Ok());
    TLogCapture log;
    QCOMPARE(test.Db().ExecuteScript(script), result);
    QCOMPARE(PageLogUrls(test.Db()), stored);
    if (!result)
        QVERIFY2(log.Text().contains(TrimText(script.section(QLatin1Char('\n'), 0, 0))),
                 qPrintable(log.Text()));
    // A failed script leaves no transaction behind: the next write works.
    QVERIFY(test.Db().Execute(InsertPageLog("after")));
}

void TestDbMain::executeIsOneTransaction() {
    TTestDb test;
    QVERIFY(test.Ok());
    TDb& db = test.Db();
    const QString insert = QStringLiteral("INSERT INTO qb_download (file_name, url, create_time) "
                                          "VALUES ('/tmp/a.zip', 'http://h/a.zip', 1)");
    QVERIFY(db.Execute(insert));
    {
        TLogCapture log;
        // The address is unique: the second insert fails, is logged and changes nothing.
        QVERIFY(!db.Execute(insert));
        QVERIFY2(log.Text().contains(insert), qPrintable(log.Text()));
        QVERIFY(!db.Execute(QStringLiteral("UPDATE qb_nothing SET x = 1")));
        // A statement that answers rows is not a write.
        QVERIFY(!db.Execute(QStringLiteral("SELECT * FROM qb_download")));
        QVERIFY(!db.Execute(QStringLiteral("   ")));
    }
    QCOMPARE(CountRows(db, "qb_download"), qint64(1));
    QVERIFY(db.Execute(QStringLiteral("UPDATE qb_download SET finished = 1 WHERE url = 'http://h/a.zip'")));
    auto table = db.Query(QStringLiteral("SELECT finished FROM qb_download"));
    QVERIFY(table);
    QCOMPARE(table->FieldAsInt64("finished"), qint64(1));
}

void TestDbMain::emptyTextRunsNothing() {
    TTestDb test;
    QVERIFY(test.Ok());
    QVERIFY(!test.Db().Query(QString()));
    QVERIFY(!test.Db().Execute(QString()));
    QVERIFY(!test.Db().ExecuteScript(QString()));
    QVERIFY(!test.Db().Query(QStringLiteral("  -- only a comment")));
    QVERIFY(!test.Db().Query(QStringLiteral("SELECT nothing FROM qb_nothing")));
}

void TestDbMain::lastInsertId() {
    TTestDb test;
    QVERIFY(test.Ok());
    TDb& db = test.Db();
    QCOMPARE(db.LastInsertId(), 0);
    QVERIFY(
        db.Execute(QStringLiteral("INSERT INTO qb_fav (fav_name, fav_url, ranking) VALUES ('a', 'u1', 0)")));
    QVERIFY(
        db.Execute(QStringLiteral("INSERT INTO qb_fav (fav_name, fav_url, ranking) VALUES ('b', 'u2', 0)")));
    const qint32 id = db.LastInsertId();
    auto table = db.Query(QStringLiteral("SELECT id FROM qb_fav WHERE fav_url = 'u2'"));
    QVERIFY(table);
    QCOMPARE(qint64(id), table->FieldAsInt64("id"));
    db.Close();
    QCOMPARE(db.LastInsertId(), 0);
}

void TestDbMain::declaredTypeKinds_data() {
    QTest::addColumn<QString>("column");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("number"); // only looked at when error is empty
    QTest::addColumn<QString>("error");

    const QString notNumeric = QStringLiteral("Not an integer or numeric field");
    QTest::newRow("INTEGER") << "c_int" << int(TSQLiteTable::ckInteger) << "42" << qint64(42) << "";
    // The comparison is exact; SQLite itself reports its standard names (INT, INTEGER, REAL, TEXT,
    // BLOB) upper-cased whatever the schema's spelling, other names as written.
    QTest::newRow("integer in lower case is reported upper-cased")
        << "c_lower" << int(TSQLiteTable::ckInteger) << "42" << qint64(42) << "";
    QTest::newRow("boolean in lower case is text")
        << "c_lower_bool" << int(TSQLiteTable::ckText) << "1" << qint64(0) << notNumeric;
    QTest::newRow("numeric in lower case is text")
        << "c_lower_numeric" << int(TSQLiteTable::ckText) << "2.5" << qint64(0) << notNumeric;
    QTest::newRow("BOOLEAN") << "c_bool" << int(TSQLiteTable::ckInteger) << "1" << qint64(1) << "";
    QTest::newRow("REAL truncates toward zero")
        << "c_real" << int(TSQLiteTable::ckFloat) << "-2.75" << qint64(-2) << "";
    QTest::newRow("NUMERIC") << "c_numeric" << int(TSQLiteTable::ckFloat) << "3.5" << qint64(3) << "";
    QTest::newRow("DOUBLE saturates")
        << "c_double" << int(TSQLiteTable::ckFloat) << "1e+300" << std::numeric_limits<qint64>::max() << "";
    QTest::newRow("TEXT") << "c_text" << int(TSQLiteTable::ckText) << "abc" << qint64(0) << notNumeric;
    QTest::newRow("other declared type is text")
        << "c_varchar" << int(TSQLiteTable::ckText) << "7" << qint64(0) << notNumeric;
    QTest::newRow("BLOB reads as text of the codec")
        << "c_blob" << int(TSQLiteTable::ckBlob) << QStringLiteral("中") << qint64(0) << notNumeric;
    QTest::newRow("null integer") << "c_null" << int(TSQLiteTable::ckInteger) << "" << qint64(0) << "";
    QTest::newRow("INTEGER holding text")
        << "c_int_text" << int(TSQLiteTable::ckInteger) << "12" << qint64(12) << "";
}

void TestDbMain::declaredTypeKinds() {
    QFETCH(QString, column);
    QFETCH(int, kind);
    QFETCH(QString, text);
    QFETCH(qint64, number);
    QFETCH(QString, error);
    TTestDb test;
    QVERIFY(test.Ok());
    TDb& db = test.Db();
    QVERIFY(db.Execute(QStringLiteral(
        "CREATE TABLE kinds (c_int INTEGER, c_lower integer, c_lower_bool boolean, c_lower_numeric numeric, "
        "c_bool BOOLEAN, c_real REAL, c_numeric NUMERIC, "
        "c_double DOUBLE, c_text TEXT, c_varchar VARCHAR(10), c_blob BLOB, c_null INTEGER, c_int_text "
        "INTEGER)")));
    QVERIFY(db.Execute(
        QStringLiteral("INSERT INTO kinds VALUES (42, 42, 1, 2.5, 1, -2.75, 3.5, 1e300, 'abc', 7, ") +
        QStringLiteral("x'") + QString::fromLatin1(ToAnsi(QStringLiteral("中")).toHex()) +
        QStringLiteral("', NULL, '12abc')")));
    auto table = db.Query(QStringLiteral("SELECT * FROM kinds"));
    QVERIFY(table);
    const int index = table->ColumnIndex(column);
    QCOMPARE(int(table->ColumnKind(index)), kind);
    QCOMPARE(table->GetText(index), text);
    try {
        const qint64 value = table->GetInt64(index);
        QVERIFY2(error.isEmpty(), "GetInt64 should have failed");
        QCOMPARE(value, number);
    } catch (const ESQLiteException& e) {
        QCOMPARE(e.Message(), error);
    }
}

void TestDbMain::expressionColumnsTakeTheirValuesKind() {
    TTestDb test;
    QVERIFY(test.Ok());
    TDb& db = test.Db();
    auto table =
        db.Query(QStringLiteral("SELECT COUNT(id) c, 1.5 AS f, 'x' AS 标题, x'41' AS b FROM qb_fav"));
    QVERIFY(table);
    QCOMPARE(table->ColumnKind(0), TSQLiteTable::ckInteger);
    QCOMPARE(table->ColumnKind(1), TSQLiteTable::ckFloat);
    QCOMPARE(table->ColumnKind(2), TSQLiteTable::ckText);
    QCOMPARE(table->ColumnKind(3), TSQLiteTable::ckBlob);
    QCOMPARE(table->FieldAsInt64("C"), qint64(0));
    QCOMPARE(table->ColumnIndex(QStringLiteral("标题")), 2); // names travel through the codec too
    QCOMPARE(table->GetText(1), QStringLiteral("1.5"));
    QCOMPARE(table->GetText(3), QStringLiteral("A"));
    // A null first row does not hide the values of later rows.
    table = db.Query(QStringLiteral("SELECT NULL AS v UNION ALL SELECT 7 UNION ALL SELECT 8"));
    QVERIFY(table);
    QCOMPARE(table->RowCount(), 3);
    QCOMPARE(table->GetInt64(0), qint64(0));
    QCOMPARE(table->GetText(0), QString());
    table->MoveNext();
    QCOMPARE(table->ColumnKind(0), TSQLiteTable::ckInteger);
    QCOMPARE(table->GetInt64(0), qint64(7));
}

void TestDbMain::resultSetErrors() {
    TTestDb test;
    QVERIFY(test.Ok());
    TDb& db = test.Db();
    const auto message = [](const std::function<void()>& call) {
        try {
            call();
        } catch (const ESQLiteException& e) {
            return e.Message();
        }
        return QStringLiteral("<no error>");
    };

    auto empty = db.Query(QStringLiteral("SELECT cfg_value FROM qb_config WHERE cfg_key = 1"));
    QVERIFY(empty);
    QCOMPARE(empty->RowCount(), 0);
    QVERIFY(empty->AtEnd());
    QVERIFY(!empty->MoveNext());
    QCOMPARE(message([&] { empty->ColumnIndex("cfg_value"); }),
             QStringLiteral("Field cfg_value Not found. Empty dataset"));
    QCOMPARE(message([&] { empty->GetText(0); }), QStringLiteral("Table is at End of File"));

    QVERIFY(db.Execute(QStringLiteral("INSERT INTO qb_config (cfg_key, cfg_value) VALUES (1, 'v')")));
    auto table = db.Query(QStringLiteral("SELECT cfg_key, cfg_value FROM qb_config"));
    QVERIFY(table);
    QCOMPARE(table->ColumnName(1), QStringLiteral("CFG_VALUE"));
    QCOMPARE(table->ColumnIndex("CFG_VALUE"), 1);
    QCOMPARE(table->ColumnIndex("Cfg_Value"), 1);
    QCOMPARE(message([&] { table->ColumnIndex("cfg_val"); }),
             QStringLiteral("Field not found in dataset: cfg_val"));
    QCOMPARE(message([&] { table->GetInt64(1); }), QStringLiteral("Not an integer or numeric field"));
    QVERIFY(table->MoveNext()); // onto the end
    QVERIFY(table->AtEnd());
    QVERIFY(!table->MoveNext());
    QCOMPARE(message([&] { table->GetText(1); }), QStringLiteral("Table is at End of File"));
    QCOMPARE(message([&] { table->GetInt64(0); }), QStringLiteral("Table is at End of File"));
    QVERIFY(db.FreeTable(table));
    QVERIFY(!table);
}

void TestDbMain::textRoundTrip_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("quotes") << QStringLiteral("O'Neil's \"page\" ''");
    QTest::newRow("percent and underscore") << QStringLiteral("100% a_b %_%");
    QTest::newRow("backslash") << QStringLiteral("C:\\dir\\file \\' \\n");
    QTest::newRow("chinese") << QStringLiteral("百度一下，你就知道");
    QTest::newRow("emoji and rare ideograph") << QStringLiteral("笑😀𠀀!");
    QTest::newRow("semicolon and comment marks") << QStringLiteral("a; DROP TABLE qb_fav; -- x /* y");
    QTest::newRow("empty") << QString();
}

void TestDbMain::textRoundTrip() {
    QFETCH(QString, text);
    TTestDb test;
    QVERIFY(test.Ok());
    TDb& db = test.Db();
    QVERIFY(db.Execute(QStringLiteral("INSERT INTO qb_history (site_name, site_url, create_time, isclose) "
                                      "VALUES (") +
                       SqlQuote(text) + QStringLiteral(", 'u', 1, 0)")));
    auto table = db.Query(
        QStringLiteral("SELECT site_name, hex(site_name) AS raw FROM qb_history WHERE site_name = ") +
        SqlQuote(text));
    QVERIFY(table);
    QCOMPARE(table->RowCount(), 1);
    QCOMPARE(table->FieldAsText("site_name"), text);
    // The file holds the codec's bytes, not UTF-8.
    QCOMPARE(table->FieldAsText("raw"), QString::fromLatin1(ToAnsi(text).toHex().toUpper()));
    QCOMPARE(CountRows(db, "qb_fav"), qint64(0));
}

void TestDbMain::nulCharactersAreLeftOut() {
    TTestDb test;
    QVERIFY(test.Ok());
    const QString name = QStringLiteral("a") + QChar(QChar::Null) + QStringLiteral("b");
    QVERIFY(test.Db().Execute(QStringLiteral("INSERT INTO qb_fav (fav_name, fav_url, ranking) VALUES (") +
                              SqlQuote(name) + QStringLiteral(", 'u', 1)")));
    auto table = test.Db().Query(QStringLiteral("SELECT fav_name FROM qb_fav"));
    QVERIFY(table);
    QCOMPARE(table->RowCount(), 1);
    QCOMPARE(table->FieldAsText("fav_name"), QStringLiteral("ab"));
}

void TestDbMain::missingFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data.dat"));
    TDb db;
    TLogCapture log;
    QVERIFY(!db.Open(path));
    QVERIFY(log.Text().contains(path));
    QCOMPARE(db.Path(), path);
    QVERIFY(!db.Query(QStringLiteral("SELECT 1")));
    QVERIFY(!db.Execute(InsertPageLog("a")));
    QVERIFY(!db.ExecuteScript(InsertPageLog("a")));
    QCOMPARE(db.LastInsertId(), 0);
    QVERIFY2(!QFile::exists(path), "the data file must never be created");
}

void TestDbMain::unusableFile_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("isFolder");
    QTest::newRow("text file") << QByteArray("this is not a database\n").repeated(200) << false;
    QByteArray damaged;
    {
        QFile file(QStringLiteral(QUELLON_DATA_TEMPLATE));
        QVERIFY(file.open(QIODevice::ReadOnly));
        damaged = file.readAll();
        damaged.replace(0, 16, QByteArray(16, 'x')); // the header no longer says SQLite
    }
    QTest::newRow("damaged header") << damaged << false;
    QTest::newRow("folder") << QByteArray() << true;
}

void TestDbMain::unusableFile() {
    QFETCH(QByteArray, content);
    QFETCH(bool, isFolder);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data.dat"));
    if (isFolder) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("data.dat")));
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    TDb db;
    TLogCapture log;
    QVERIFY(!db.Open(path));
    QVERIFY2(log.Text().contains(path), qPrintable(log.Text()));
    QVERIFY(!db.Query(QStringLiteral("SELECT * FROM qb_config")));
    QVERIFY(!db.Execute(InsertPageLog("a")));
    if (!isFolder) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), content); // left exactly as it was
    }
    // The same object still opens a sound file afterwards.
    const QString good = dir.filePath(QStringLiteral("good.dat"));
    QVERIFY(CopyDataTemplate(good));
    QVERIFY(db.Open(good));
    QVERIFY(db.Execute(InsertPageLog("a")));
}

void TestDbMain::readOnlyFile_data() {
    QTest::addColumn<int>("fileMode");
    QTest::addColumn<int>("folderMode");
    QTest::newRow("file read-only") << 0444 << 0777;
    QTest::newRow("file and folder read-only") << 0444 << 0555;
    // The file itself is writable, but its write-ahead log cannot be created beside it.
    QTest::newRow("folder read-only") << 0666 << 0555;
}

void TestDbMain::readOnlyFile() {
    QFETCH(int, fileMode);
    QFETCH(int, folderMode);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data.dat"));
    QVERIFY(CopyDataTemplate(path));
    {
        // A file the browser has used before (so in its usual journal mode) with one stored row.
        TDb db;
        QVERIFY(db.Open(path));
        QVERIFY(db.Execute(InsertPageLog("kept")));
    }
    QVERIFY(chmod(QFile::encodeName(path).constData(), mode_t(fileMode)) == 0);
    QVERIFY(chmod(QFile::encodeName(dir.path()).constData(), mode_t(folderMode)) == 0);

    const QString failure = RunWithoutPrivileges([&]() -> QString {
        TDb db;
        if (!db.Open(path))
            return QStringLiteral("a read-only file should open");
        if (!db.IsReadOnly())
            return QStringLiteral("the connection should be read-only");
        if (PageLogUrls(db) != QStringList{QStringLiteral("kept")})
            return QStringLiteral("stored rows should read: ") + PageLogUrls(db).join(',');
        if (db.Execute(InsertPageLog("new")) || db.ExecuteScript(InsertPageLog("new")))
            return QStringLiteral("writes should answer false");
        if (PageLogUrls(db) != QStringList{QStringLiteral("kept")})
            return QStringLiteral("nothing should have been written");
        return QString();
    });
    QVERIFY(chmod(QFile::encodeName(dir.path()).constData(), 0700) == 0);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

void TestDbMain::secondConnectionSharesTheFile() {
    // A second browser process works on the same file: each sees the other's committed writes.
    TTestDb test;
    QVERIFY(test.Ok());
    TDb other;
    QVERIFY(other.Open(test.FilePath()));
    QVERIFY(test.Db().Execute(InsertPageLog("first")));
    QCOMPARE(PageLogUrls(other), QStringList{"first"});
    QVERIFY(other.Execute(InsertPageLog("second")));
    QCOMPARE(PageLogUrls(test.Db()), (QStringList{"first", "second"}));
    auto mode = test.Db().Query(QStringLiteral("PRAGMA journal_mode"));
    QVERIFY(mode);
    QCOMPARE(mode->GetText(0), QStringLiteral("wal"));
}

void TestDbMain::concurrentCallsStayConsistent() {
    TTestDb test;
    QVERIFY(test.Ok());
    TDb& db = test.Db();
    constexpr int kThreads = 4;
    constexpr int kRounds = 150;
    QAtomicInt failures = 0;
    QVector<QThread*> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads << QThread::create([&db, &failures, t] {
            for (int i = 0; i < kRounds; ++i) {
                const QString url = QStringLiteral("http://t%1/%2").arg(t).arg(i);
                const bool written =
                    (i % 10 == 0) ? db.ExecuteScript(InsertPageLog(url) + "\n" + InsertPageLog(url + "/2"))
                                  : db.Execute(InsertPageLog(url));
                auto table =
                    db.Query(QStringLiteral("SELECT url FROM qb_page_log WHERE url = ") + SqlQuote(url));
                if (!written || !table || table->RowCount() != 1 || table->GetText(0) != url)
                    failures.fetchAndAddRelaxed(1);
            }
        });
        threads.last()->start();
    }
    for (QThread* thread : threads) {
        QVERIFY(thread->wait(120000));
        delete thread;
    }
    QCOMPARE(failures.loadRelaxed(), 0);
    QCOMPARE(CountRows(db, "qb_page_log"), qint64(kThreads * (kRounds + kRounds / 10)));
}

QTEST_GUILESS_MAIN(TestDbMain)
#include "tst_DbMain.moc"
