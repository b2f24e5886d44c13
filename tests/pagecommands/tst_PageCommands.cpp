// The page commands in the main window under Xvfb: zoom steps per tab in both engines, the find
// window walking the matches and closing on Esc, the docked developer tools, saving a Chinese
// page, and the engine-dependent captions and refusals.
#include "browser/BrowserTab.h"
#include "browser/ChromiumView.h"
#include "browser/PageView.h"
#include "browser/TabController.h"
#include "browser/WebControlView.h"
#include "support/ModalAnswerer.h"
#include "pagecommands/ContextMenuEntries.h"
#include "pagecommands/FormFindWebPage.h"
#include "shell/FormMain.h"
#include "support/CutTexts.h"
#include "support/EngineTestMain.h"
#include "support/TestDb.h"
#include "support/WindowTestKit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QClipboard>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <cmath>
#include <memory>

namespace {
QString WritePage(const QString& folder, const QString& name, const QString& title, const QString& body) {
    const QString path = folder + QLatin1Char('/') + name;
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(
        QStringLiteral("<html><head><meta charset=\"utf-8\"><title>%1</title></head><body>%2</body></html>")
            .arg(title, body)
            .toUtf8());
    return QUrl::fromLocalFile(path).toString();
}

QString Label(const TFormMain& window) {
    return window.findChild<QLabel*>(QStringLiteral("LabelScale"))->text();
}

QString ZoomMenu(const TFormMain& window) {
    return window.findChild<QMenu*>(QStringLiteral("NPageZoom"))->title();
}

QAction* Item(const TFormMain& window, const char* name) {
    return window.findChild<QAction*>(QLatin1String(name));
}

// The text of a PDF file (pdftotext of poppler-utils); empty while the file is not complete.
QString PdfText(const QString& path) {
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    text.waitForFinished();
    return QString::fromUtf8(text.readAllStandardOutput()).simplified();
}
} // namespace

class TPageCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void zoomStepsPerTab();
    void compatibilityEngineZoomsTheBody();
    void findWalksMatchesAndEscCloses();
    void findWindowShowsWholeTexts();
    void findRejectsBlankText();
    void devToolsOpenCloseAndGoWithTheTab();
    void savedPageKeepsChineseText();
    void chromiumRefusesPreviewAndPageSetup();
    void contextMenuOfALinkedImage();
    void chromiumPrintsIntoPdf();
};

void TPageCommandsTest::zoomStepsPerTab() {
    TTestDb data;
    const QString url = WritePage(data.DirPath(), "zoom.html", "缩放", "<p>缩放页</p>");
    auto window = OpenWindow(data.Db(), url);
    TBrowserTab* first = window->CurrentTab();
    QVERIFY(first && first->Kernel == kChromium);

    // Three steps in through the menu: zoom level 1.5 while the status bar says 175%.
    for (int i = 0; i < 3; ++i)
        Item(*window, "NZoomIn")->trigger();
    QCOMPARE(first->ZoomStep, 3);
    QCOMPARE(Label(*window), QStringLiteral("175%"));
    QCOMPARE(ZoomMenu(*window), QStringLiteral("页面缩放(175%)"));
    QVERIFY(std::abs(first->View()->ZoomFactor() - std::pow(1.2, 1.5)) < 0.01);

    // Another tab shows its own step; coming back shows the first tab's again.
    window->OpenInNewTab(url);
    QTRY_VERIFY_WITH_TIMEOUT(window->CurrentTab() != first, LoadTimeout);
    QCOMPARE(Label(*window), QStringLiteral("100%"));
    window->ZoomOut();
    QCOMPARE(Label(*window), QStringLiteral("75%"));
    window->Tabs()->SetCurrentIndex(window->Tabs()->IndexOf(first));
    QCOMPARE(Label(*window), QStringLiteral("175%"));

    // Reset: 100% without a number in the submenu, the engine back at its 100%.
    window->ZoomReset();
    QCOMPARE(Label(*window), QStringLiteral("100%"));
    QCOMPARE(ZoomMenu(*window), QStringLiteral("页面缩放"));
    QVERIFY(std::abs(first->View()->ZoomFactor() - 1.0) < 0.001);

    // Down to the floor: the fifth step out changes nothing; one in shows 25% again.
    for (int i = 0; i < 5; ++i)
        window->ZoomOut();
    QCOMPARE(first->ZoomStep, -4);
    QCOMPARE(Label(*window), QStringLiteral("10%"));
    QVERIFY(std::abs(first->View()->ZoomFactor() - std::pow(1.2, -2.0)) < 0.01);
    window->ZoomIn();
    QCOMPARE(Label(*window), QStringLiteral("25%"));
}

void TPageCommandsTest::compatibilityEngineZoomsTheBody() {
    TTestDb data;
    const QString url = WritePage(data.DirPath(), "webzoom.html", "兼容", "<p>兼容页</p>");
    auto window = OpenWindow(data.Db(), QStringLiteral("about:blank"));
    window->OpenInNewTab(url, kWebControl);
    QTRY_VERIFY_WITH_TIMEOUT(window->CurrentTab()->Kernel == kWebControl, LoadTimeout);
    QVERIFY(WaitIdle(*window));
    TWebControlView* control = window->CurrentTab()->WebControl;
    QVERIFY(control);
    window->ZoomIn();
    window->ZoomIn();
    QVERIFY(std::abs(control->StyleZoom() - 1.2) < 0.001);
    QCOMPARE(Label(*window), QStringLiteral("150%"));
    window->ZoomOut();
    QVERIFY(std::abs(control->StyleZoom() - 1.1) < 0.001);
    window->ZoomReset();
    QVERIFY(std::abs(control->StyleZoom() - 1.0) < 0.001);
    // The engine's own captions for the compatibility engine.
    QCOMPARE(Item(*window, "NPrintPreview")->text(), QStringLiteral("打印预览"));
    QCOMPARE(Item(*window, "NSaveImage")->text(), QStringLiteral("保存网页为图片"));
}

void TPageCommandsTest::findWindowShowsWholeTexts() {
    TFormFindWebPage find(nullptr, QStringLiteral("苹果"));
    find.ShowMatches(2, 600);
    find.show();
    QVERIFY(QTest::qWaitForWindowExposed(&find));
    QCOMPARE(CutTexts(&find), QStringList());
}

void TPageCommandsTest::findWalksMatchesAndEscCloses() {
    TTestDb data;
    const QString url =
        WritePage(data.DirPath(), "find.html", "查找", "<p>苹果 香蕉 苹果</p><p>苹果</p><p>APPLE apple</p>");
    auto window = OpenWindow(data.Db(), url);
    window->NFindClick();
    auto* find = window->FindWindow();
    QVERIFY(find && find->isVisible());
    find->findChild<QLineEdit*>(QStringLiteral("bsSkinEditText"))->setText(QStringLiteral("  苹果 "));
    auto* matches = find->findChild<QLabel*>(QStringLiteral("LabelMatches"));
    auto* next = find->findChild<QPushButton*>(QStringLiteral("bsSkinButtonNext"));
    auto* previous = find->findChild<QPushButton*>(QStringLiteral("bsSkinButtonPrevious"));

    next->click();
    QTRY_COMPARE_WITH_TIMEOUT(matches->text(), QStringLiteral("第 1 个，共 3 个"), LoadTimeout);
    QCOMPARE(window->LastFindRequest().Text, QStringLiteral("苹果")); // trimmed
    next->click();
    QTRY_COMPARE_WITH_TIMEOUT(matches->text(), QStringLiteral("第 2 个，共 3 个"), LoadTimeout);
    previous->click();
    QTRY_COMPARE_WITH_TIMEOUT(matches->text(), QStringLiteral("第 1 个，共 3 个"), LoadTimeout);
    // F3 repeats the last search forward.
    window->RepeatFind(true);
    QTRY_COMPARE_WITH_TIMEOUT(matches->text(), QStringLiteral("第 2 个，共 3 个"), LoadTimeout);

    // Letter case: only the exact spelling when asked.
    find->findChild<QLineEdit*>(QStringLiteral("bsSkinEditText"))->setText(QStringLiteral("apple"));
    find->findChild<QCheckBox*>(QStringLiteral("bsSkinCheckRadioBoxMatchCase"))->setChecked(true);
    next->click();
    QTRY_COMPARE_WITH_TIMEOUT(matches->text(), QStringLiteral("第 1 个，共 1 个"), LoadTimeout);

    // Esc closes the window; the next Ctrl+F makes a new one with the last text.
    QTest::keyRelease(find, Qt::Key_Escape);
    QTRY_VERIFY(!window->FindWindow());
    window->NFindClick();
    QVERIFY(window->FindWindow());
    QCOMPARE(window->FindWindow()->findChild<QLineEdit*>(QStringLiteral("bsSkinEditText"))->text(),
             QStringLiteral("apple"));
    window->FindWindow()->close();
}

void TPageCommandsTest::findRejectsBlankText() {
    TTestDb data;
    auto window = OpenWindow(data.Db(), QStringLiteral("about:blank"));
    window->NFindClick();
    auto* edit = window->FindWindow()->findChild<QLineEdit*>(QStringLiteral("bsSkinEditText"));
    edit->setText(QStringLiteral("   "));
    TModalAnswerer answerer;
    window->FindWindow()->findChild<QPushButton*>(QStringLiteral("bsSkinButtonNext"))->click();
    QCOMPARE(answerer.Messages, QStringList{QStringLiteral("请输入查找的内容！")});
    QVERIFY(edit->text().isEmpty());
    QCoreApplication::processEvents();
    QVERIFY(window->LastFindRequest().Text.isEmpty()); // nothing was posted
    window->FindWindow()->close();
}

void TPageCommandsTest::devToolsOpenCloseAndGoWithTheTab() {
    TTestDb data;
    const QString url = WritePage(data.DirPath(), "tools.html", "工具", "<p>工具页</p>");
    auto window = OpenWindow(data.Db(), url);
    TBrowserTab* tab = window->CurrentTab();
    const int fullHeight = tab->Browser->height();

    Item(*window, "NDevelopTool")->trigger();
    QVERIFY(tab->DevToolsOpen);
    QVERIFY(tab->DevToolsView && tab->DevToolsView->isVisible());
    QVERIFY(tab->DevToolsSplitter);
    // The page keeps the part above the splitter; the tools fill the rest.
    QVERIFY(tab->Browser->height() < fullHeight);
    QCOMPARE(tab->DevToolsView->geometry().bottom(), tab->Page->rect().bottom());
    QVERIFY(tab->DevToolsSplitter->geometry().top() > tab->Browser->geometry().bottom());

    // Dragging the splitter keeps the new height in the next layout.
    const QPoint bar = tab->DevToolsSplitter->rect().center();
    QTest::mousePress(tab->DevToolsSplitter, Qt::LeftButton, {}, bar);
    QMouseEvent move(QEvent::MouseMove, bar - QPoint(0, 50), Qt::LeftButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(tab->DevToolsSplitter, &move);
    QTest::mouseRelease(tab->DevToolsSplitter, Qt::LeftButton, {}, bar - QPoint(0, 50));
    const int dragged = tab->DevToolsHeight;
    window->Tabs()->LayoutTab(tab);
    QCOMPARE(tab->DevToolsView->height(), dragged);

    // Twice: closed, the page fills the tab again.
    window->NDevelopToolClick();
    QVERIFY(!tab->DevToolsOpen);
    QVERIFY(!tab->DevToolsView && !tab->DevToolsSplitter);
    QCOMPARE(tab->Browser->height(), fullHeight);

    // Tools open when their tab closes: the tab and its tools go together.
    window->OpenInNewTab(url);
    QTRY_VERIFY_WITH_TIMEOUT(window->CurrentTab() != tab, LoadTimeout);
    QVERIFY(WaitIdle(*window));
    window->NDevelopToolClick();
    QPointer<QWidget> tools = window->CurrentTab()->DevToolsView;
    QVERIFY(tools);
    window->Tabs()->CloseCurrentTab();
    QTRY_VERIFY_WITH_TIMEOUT(window->Tabs()->TabCount() == 1, LoadTimeout);
    QTRY_VERIFY(!tools);

    // A compatibility-engine tab gets no tools.
    window->OpenInNewTab(url, kWebControl);
    QTRY_VERIFY_WITH_TIMEOUT(window->CurrentTab()->Kernel == kWebControl, LoadTimeout);
    window->NDevelopToolClick();
    QVERIFY(!window->CurrentTab()->DevToolsOpen);
    QVERIFY(!window->CurrentTab()->DevToolsView);
}

void TPageCommandsTest::savedPageKeepsChineseText() {
    TTestDb data;
    const QString url = WritePage(data.DirPath(), "save.html", "保存页", "<p>中文内容，保存后仍在</p>");
    auto window = OpenWindow(data.Db(), url);
    QTRY_COMPARE_WITH_TIMEOUT(window->CurrentTab()->Caption, QStringLiteral("保存页"), LoadTimeout);
    const QString target = data.DirPath() + QStringLiteral("/saved.html");
    QString proposed;
    TModalAnswerer answerer([&](QWidget* dialog) {
        if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
            proposed = files->selectedFiles().value(0);
            files->selectFile(target);
            QMetaObject::invokeMethod(files, "accept");
        }
    });
    Item(*window, "NSave")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(target), LoadTimeout);
    QVERIFY(proposed.endsWith(QStringLiteral("保存页.html")));
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.endsWith("\r\n"));
    // The page declares UTF-8: so is the file, and it reads back under that declaration.
    QVERIFY(QString::fromUtf8(bytes).contains(QStringLiteral("中文内容，保存后仍在")));
}

void TPageCommandsTest::chromiumRefusesPreviewAndPageSetup() {
    TTestDb data;
    auto window = OpenWindow(data.Db(), QStringLiteral("about:blank"));
    QCOMPARE(Item(*window, "NPrintPreview")->text(), QStringLiteral("打印预览（请切换到IE内核）"));
    QCOMPARE(Item(*window, "NPageSetup")->text(), QStringLiteral("页面设置（请切换到IE内核）"));
    TModalAnswerer answerer;
    Item(*window, "NPrintPreview")->trigger();
    Item(*window, "NPageSetup")->trigger();
    QCOMPARE(answerer.Messages,
             (QStringList{QStringLiteral("请切换到IE内核"), QStringLiteral("请切换到IE内核")}));
}

void TPageCommandsTest::contextMenuOfALinkedImage() {
    TTestDb data;
    QImage picture(40, 40, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QVERIFY(picture.save(data.DirPath() + QStringLiteral("/red.png")));
    const QString url = WritePage(data.DirPath(), "menu.html", "菜单",
                                  "<a href=\"target.html\"><img id=\"pic\" src=\"red.png\" "
                                  "style=\"position:absolute;left:0;top:0;width:200px;height:200px\"></a>");
    auto window = OpenWindow(data.Db(), url);
    TChromiumView* view = window->CurrentTab()->Browser;
    QVERIFY(view);
    QWidget* target = view->focusProxy() ? view->focusProxy() : view;
    QTest::mouseMove(target, QPoint(50, 50));
    QTest::mouseClick(target, Qt::RightButton, {}, QPoint(50, 50));
    QTRY_VERIFY_WITH_TIMEOUT(view->ContextMenu() && view->ContextMenu()->isVisible(), LoadTimeout);
    QMenu* menu = view->ContextMenu();

    // The engine's own entries for a linked image speak Chinese like the browser's (an access key
    // such as "(&B)" aside).
    for (const QAction* item : menu->actions()) {
        QString caption = item->text();
        caption.remove(QRegularExpression(QStringLiteral("\\(&[A-Z]\\)")));
        QVERIFY2(item->isSeparator() || !caption.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))),
                 qPrintable(item->text()));
    }

    // The picture group, then the link's entry, both before "审查元素".
    QStringList own;
    for (QAction* item : menu->actions())
        if (item->objectName().startsWith(QLatin1String("ContextCommand")))
            own << item->text();
    const QStringList tail{"图片另存为...", "复制图片地址", "在新标签中打开图片", "复制链接地址", "审查元素"};
    QCOMPARE(own.mid(own.size() - tail.size()), tail);

    // The addresses reach the clipboard as text.
    menu->findChild<QAction*>(QStringLiteral("ContextCommand17"))->trigger();
    QVERIFY(QGuiApplication::clipboard()->text().endsWith(QStringLiteral("/red.png")));
    menu->findChild<QAction*>(QStringLiteral("ContextCommand21"))->trigger();
    QVERIFY(QGuiApplication::clipboard()->text().endsWith(QStringLiteral("/target.html")));

    // "审查元素" opens the tools of this tab.
    menu->findChild<QAction*>(QStringLiteral("ContextCommand19"))->trigger();
    QVERIFY(window->CurrentTab()->DevToolsOpen);
    menu->close();

    // The relabelled view-source entry opens the page's source in a new tab.
    view->ContextCommand(TContextMenuEntries::ViewSource, view->CurrentUrl());
    QTRY_COMPARE_WITH_TIMEOUT(window->Tabs()->TabCount(), 2, LoadTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(window->CurrentTab()->CurrentUrl(), QStringLiteral("view-source:") + url,
                              LoadTimeout);
}

void TPageCommandsTest::chromiumPrintsIntoPdf() {
    TTestDb data;
    const QString url = WritePage(data.DirPath(), "print.html", "打印", "<h1>PrintMarker 打印内容</h1>");
    auto window = OpenWindow(data.Db(), url);
    QVERIFY(window->CurrentTab()->Kernel == kChromium);
    QString target;
    // The print dialog: "print to file" with the target's name, then OK.
    TModalAnswerer answerer([&](QWidget* dialog) {
        auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
        auto* fileName = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
        QVERIFY(printers && fileName);
        printers->setCurrentIndex(printers->count() - 1);
        fileName->setText(target);
        QMetaObject::invokeMethod(dialog, "accept");
    });

    // The page's text comes out as text, and the print reports no failure.
    target = data.DirPath() + QStringLiteral("/printed.pdf");
    Item(*window, "NPrint")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(PdfText(target).contains(QStringLiteral("PrintMarker 打印内容")), LoadTimeout);
    QCoreApplication::processEvents();
    QVERIFY(answerer.Messages.isEmpty());

    // The window closed while a print is under way: it goes without a word (no box in the middle
    // of its teardown), and nothing of that job is left holding the engine: a new window's print
    // comes out whole.
    target = data.DirPath() + QStringLiteral("/interrupted.pdf");
    Item(*window, "NPrint")->trigger();
    window.reset();
    window = OpenWindow(data.Db(), url);
    target = data.DirPath() + QStringLiteral("/after.pdf");
    Item(*window, "NPrint")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(PdfText(target).contains(QStringLiteral("PrintMarker 打印内容")), LoadTimeout);
    QVERIFY(answerer.Messages.isEmpty());
}

QUELLON_ENGINE_TEST_MAIN(TPageCommandsTest)
#include "tst_PageCommands.moc"
