// Core rules of the page commands: zoom steps and their captions, the Chromium zoom level, the find
// request, file names taken from addresses and the character set of a saved page.
#include "common/AnsiCodec.h"
#include "pagecommands/DevToolsPrefs.h"
#include "pagecommands/FindRequest.h"
#include "pagecommands/PageFileNames.h"
#include "pagecommands/PageZoom.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

class TPageFilesTest : public QObject {
    Q_OBJECT
private slots:
    void zoomOutStopsAtTheLowestStep();
    void zoomCaptions_data();
    void zoomCaptions();
    void chromiumLevelsAreHalfSteps();
    void findRequestCutsLongTextAndRepeats();
    void cleanFileName_data();
    void cleanFileName();
    void pictureNameAndExtension_data();
    void pictureNameAndExtension();
    void pageSourceCharset_data();
    void pageSourceCharset();
    void writingReplacesOnlyWhenComplete();
    void saveDialogsStartInTheDownloadOrLastFolder();
    void devToolsOpenWithoutScreencast();
};

void TPageFilesTest::saveDialogsStartInTheDownloadOrLastFolder() {
    QTemporaryDir downloads, chosen;
    const QString name = QStringLiteral("页面.html");
    // Never the working folder: the download folder first, the folder last saved to after that.
    QCOMPARE(TPageFileNames::SaveDialogPath(name, downloads.path()), downloads.filePath(name));
    TPageFileNames::RememberSaveFolder(chosen.filePath(QStringLiteral("a.jpg")));
    QCOMPARE(TPageFileNames::SaveDialogPath(name, downloads.path()), chosen.filePath(name));
    chosen.remove();
    QCOMPARE(TPageFileNames::SaveDialogPath(name, downloads.path()), downloads.filePath(name));
}

void TPageFilesTest::devToolsOpenWithoutScreencast() {
    // The tools' own file with the screencast on: it goes off, the other settings stay.
    QTemporaryDir profile;
    QFile file(TDevToolsPrefs::FileName(profile.path()));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({"screencastEnabled": "true", "panel-selectedTab": "\"console\""})");
    file.close();
    QVERIFY(TDevToolsPrefs::OpenWithoutScreencast(profile.path()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject settings = QJsonDocument::fromJson(file.readAll()).object();
    QCOMPARE(settings.value("screencastEnabled").toString(), QStringLiteral("false"));
    QCOMPARE(settings.value("panel-selectedTab").toString(), QStringLiteral("\"console\""));
}

void TPageFilesTest::zoomOutStopsAtTheLowestStep() {
    // Four steps out from 0 show 75, 50, 25, then 10; a fifth stays; one step in shows 25 again.
    int step = 0;
    QList<int> shown;
    for (int i = 0; i < 5; ++i) {
        step = TPageZoom::ZoomedOut(step);
        shown << TPageZoom::Percent(step);
    }
    QCOMPARE(shown, (QList<int>{75, 50, 25, 10, 10}));
    QCOMPARE(step, TPageZoom::LowestStep);
    QCOMPARE(TPageZoom::Percent(TPageZoom::ZoomedIn(step)), 25);
    QCOMPARE(TPageZoom::ZoomedIn(40), 41); // no upper limit
}

void TPageFilesTest::zoomCaptions_data() {
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("menu");
    QTest::newRow("reset") << 0 << "100%"
                           << "页面缩放";
    QTest::newRow("lowest") << -4 << "10%"
                            << "页面缩放(10%)";
    QTest::newRow("out") << -1 << "75%"
                         << "页面缩放(75%)";
    QTest::newRow("in three") << 3 << "175%"
                              << "页面缩放(175%)";
}

void TPageFilesTest::zoomCaptions() {
    QFETCH(int, step);
    QFETCH(QString, label);
    QFETCH(QString, menu);
    QCOMPARE(TPageZoom::LabelText(step), label);
    QCOMPARE(TPageZoom::MenuCaption(step), menu);
}

void TPageFilesTest::chromiumLevelsAreHalfSteps() {
    // Three steps in: level 1.5, read back from the factor without drift.
    double level = 0;
    for (int i = 0; i < 3; ++i)
        level = TPageZoom::ChromiumLevel(TPageZoom::ChromiumFactor(level + TPageZoom::ChromiumLevelStep));
    QCOMPARE(level, 1.5);
    QCOMPARE(TPageZoom::ChromiumFactor(0), 1.0);
    QCOMPARE(TPageZoom::ChromiumLevel(TPageZoom::ChromiumFactor(-2.0)), -2.0);
    QCOMPARE(TPageZoom::ChromiumLevel(0), 0.0);
}

void TPageFilesTest::findRequestCutsLongTextAndRepeats() {
    const TFindRequest request = TFindRequest::Make(QString(300, QLatin1Char('x')), true, false);
    QCOMPARE(request.Text.size(), TFindRequest::MaxText);
    const TFindRequest again = request.Repeated(true);
    QVERIFY(again.Forward);
    QVERIFY(again.MatchCase);
    QCOMPARE(again.Text, request.Text);
    // F3 before any search repeats an empty text.
    QVERIFY(TFindRequest().Repeated(true).Text.isEmpty());
}

void TPageFilesTest::cleanFileName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("clean");
    QTest::newRow("chinese caption") << "新浪首页"
                                     << "新浪首页";
    QTest::newRow("path parts") << "../../etc/passwd"
                                << "_.._etc_passwd";
    QTest::newRow("windows path") << "..\\boot.ini"
                                  << "_boot.ini";
    QTest::newRow("hidden file") << ".bashrc"
                                 << "bashrc";
    QTest::newRow("control characters") << QString("a\nb\tc") << "a_b_c";
    QTest::newRow("only dots") << "..."
                               << "index";
    QTest::newRow("empty") << ""
                           << "index";
    QTest::newRow("long") << QString(300, QLatin1Char('n')) << QString(200, QLatin1Char('n'));
}

void TPageFilesTest::cleanFileName() {
    QFETCH(QString, name);
    QFETCH(QString, clean);
    QCOMPARE(TPageFileNames::CleanFileName(name), clean);
}

void TPageFilesTest::pictureNameAndExtension_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("extension");
    QTest::newRow("query") << "http://a.cn/img/pic.png?x=1"
                           << "pic.png?x=1"
                           << ".png?x=1";
    QTest::newRow("plain") << "http://a.cn/photo.jpg"
                           << "photo.jpg"
                           << ".jpg";
    QTest::newRow("no extension") << "http://a.cn/image"
                                  << "image"
                                  << "";
    QTest::newRow("escape in query") << "http://a.cn/x?f=../../.ssh/key"
                                     << "key"
                                     << "";
    QTest::newRow("trailing slash") << "http://a.cn/dir/"
                                    << "index"
                                    << "";
}

void TPageFilesTest::pictureNameAndExtension() {
    QFETCH(QString, url);
    QFETCH(QString, name);
    QFETCH(QString, extension);
    QCOMPARE(TPageFileNames::PictureFileName(url), name);
    QCOMPARE(TPageFileNames::PictureExtension(url), extension);
}

void TPageFilesTest::pageSourceCharset_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("utf8");
    QTest::newRow("utf-8 declared") << "<meta content=\"text/html;charset=utf-8\">中文€" << true;
    QTest::newRow("upper case") << "<meta content=\"TEXT/HTML;CHARSET=UTF-8\">中文" << true;
    // A page that declares UTF-8 in any of HTML's ways is saved as UTF-8, or the saved file would
    // not read back under its own declaration.
    QTest::newRow("blank after semicolon") << "<meta content=\"text/html; charset=utf-8\">中文" << true;
    QTest::newRow("meta charset") << "<meta charset=\"UTF-8\"><p>中文😀</p>" << true;
    QTest::newRow("gbk declared") << "<meta charset=\"gbk\"><p>中文</p>" << false;
    QTest::newRow("utf-8 only in the text") << "<p>charset=utf-8 中文</p>" << false;
    QTest::newRow("none declared") << "<p>中文</p>" << false;
}

void TPageFilesTest::pageSourceCharset() {
    QFETCH(QString, source);
    QFETCH(bool, utf8);
    const QByteArray bytes = TPageFileNames::PageSourceBytes(source);
    QVERIFY(bytes.endsWith("\r\n"));
    const QByteArray body = bytes.chopped(2);
    QVERIFY(!body.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(body, utf8 ? source.toUtf8() : ToAnsi(source));
    // Either way the Chinese text reads back.
    QCOMPARE(utf8 ? QString::fromUtf8(body) : FromAnsi(body), source);
}

void TPageFilesTest::writingReplacesOnlyWhenComplete() {
    QTemporaryDir dir;
    const QString path = dir.filePath("页.html");
    QVERIFY(TPageFileNames::WritePageSource(path, "<p>第一</p>"));
    QVERIFY(TPageFileNames::WritePageSource(path, "<p>第二</p>"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(FromAnsi(file.readAll()), QStringLiteral("<p>第二</p>\r\n"));
    // A folder that does not exist: reported, nothing written.
    QVERIFY(!TPageFileNames::WritePageSource(dir.filePath("missing/page.html"), "x"));
}

QTEST_GUILESS_MAIN(TPageFilesTest)
#include "tst_PageFiles.moc"
