// The options page: each control writes its key to memory and the data file when it is left,
// the boss key edit (Backspace clears, the main window is told), the download folder that cannot
// be written, the sections and the shortcut list's wheel.
#include "browser/DomainKernel.h"
#include "common/AppPaths.h"
#include "common/Messages.h"
#include "options/FormOption.h"
#include "options/HotKeyEdit.h"
#include "options/OptionRules.h"
#include "options/ShortcutText.h"
#include "storage/Config.h"
#include "support/ModalAnswerer.h"
#include "support/SettingsFixture.h"
#include "support/Unprivileged.h"
#include "tools/TranslateRunService.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTimer>
#include <QtTest>
#include <memory>

Q_DECLARE_METATYPE(TConfigKey)

namespace {

const QString kNavigation = QStringLiteral("file:///nav/123.html");

} // namespace

class TestFormOption : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_fixture = std::make_unique<TSettingsFixture>();
        QVERIFY(m_fixture->Ok());
    }

    void cleanup() {
        m_page.reset();
        m_fixture.reset();
    }

    void homeEditStoresTrimmedTextInMemoryAndTable() {
        Open();
        auto* home = m_page->findChild<QLineEdit*>(QStringLiteral("bsSkinEditHome"));
        home->setFocus();
        home->setText(QStringLiteral("  about:blank \t"));
        Leave();
        QCOMPARE(home->text(), QStringLiteral("about:blank"));
        QCOMPARE(m_fixture->Config().HomePage, QStringLiteral("about:blank"));
        QCOMPARE(Stored(TConfigKey::HomePage), QStringLiteral("about:blank"));
    }

    void emptyHomePageShowsNavigationPageAndLeavingStoresIt() {
        Open();
        auto* home = m_page->findChild<QLineEdit*>(QStringLiteral("bsSkinEditHome"));
        QCOMPARE(home->text(), kNavigation);
        QCOMPARE(Stored(TConfigKey::HomePage), QString());
        home->setFocus();
        Leave();
        QCOMPARE(Stored(TConfigKey::HomePage), kNavigation);
        QCOMPARE(m_fixture->Config().HomePage, kNavigation);
    }

    // The translation server's address and key are stored trimmed under their keys, and are
    // what the translator then uses.
    void translateServerRowsAreStoredAndUsed() {
        Open();
        for (const char* name : {"EditTranslateServer", "EditTranslateKey"}) {
            auto* edit = m_page->findChild<QLineEdit*>(QLatin1String(name));
            edit->setFocus();
            edit->setText(name == QLatin1String("EditTranslateKey") ? " k1" : "http://127.0.0.1:5000 ");
            Leave();
        }
        QCOMPARE(Stored(TConfigKey::TranslateServer), QStringLiteral("http://127.0.0.1:5000"));
        QCOMPARE(ResolveTranslateService(&m_fixture->Config(), QString()).ApiKey, QStringLiteral("k1"));
    }

    void tabbingThroughHomeKeepsStartModeOfLastPages() {
        Open();
        auto* exitPage = m_page->findChild<QRadioButton*>(QStringLiteral("bsSkinCheckRadioBoxOpenExitPage"));
        auto* home = m_page->findChild<QRadioButton*>(QStringLiteral("bsSkinCheckRadioBoxOpenHome"));
        QVERIFY(exitPage->isChecked());
        home->setFocus();
        Leave();
        QCOMPARE(int(m_fixture->Config().StartMode), 0);
        QCOMPARE(Stored(TConfigKey::StartMode), QStringLiteral("0"));
        home->click();
        QCOMPARE(int(m_fixture->Config().StartMode), 1);
        QCOMPARE(Stored(TConfigKey::StartMode), QStringLiteral("1"));
    }

    void checkBoxesStoreTheirKeys_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<TConfigKey>("key");
        QTest::newRow("popups") << "bsSkinCheckRadioBoxFilterPopupWin" << TConfigKey::FilterPopups;
        QTest::newRow("boss key on") << "bsSkinCheckRadioBoxEnableBossKey" << TConfigKey::BossKeyEnabled;
        QTest::newRow("sound") << "bsSkinCheckRadioBoxDownloadPlaySound" << TConfigKey::PlayFinishedSound;
        QTest::newRow("delete prompt")
            << "bsSkinCheckRadioBoxDownloadDelPrompt" << TConfigKey::ConfirmDeleteDownload;
        QTest::newRow("no shortcuts") << "bsSkinCheckRadioBoxHotKeyDisable" << TConfigKey::DisableShortcuts;
        QTest::newRow("default browser")
            << "bsSkinCheckRadioBoxDefaultBrowserCheck" << TConfigKey::MakeDefaultBrowser;
    }

    void checkBoxesStoreTheirKeys() {
        QFETCH(QString, name);
        QFETCH(TConfigKey, key);
        Open();
        auto* box = m_page->findChild<QCheckBox*>(name);
        QVERIFY(box);
        QVERIFY(!box->isChecked());
        box->click();
        QCOMPARE(Stored(key), QStringLiteral("1"));
        QVERIFY(FlagOption(m_fixture->Config(), key));
        box->click();
        QCOMPARE(Stored(key), QStringLiteral("0"));
        QVERIFY(!FlagOption(m_fixture->Config(), key));
        // A stored "1" comes back ticked.
        StoreFlag(m_fixture->Config(), key, true);
        m_page.reset();
        Open();
        QVERIFY(m_page->findChild<QCheckBox*>(name)->isChecked());
    }

    void bossKeyIsStoredAndTheMainWindowTold() {
        Open();
        auto* edit = m_page->findChild<THotKeyEdit*>(QStringLiteral("HotKeyBossKey"));
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_X, Qt::AltModifier);
        QCOMPARE(edit->text(), QStringLiteral("Alt + X"));
        Leave();
        QCOMPARE(Stored(TConfigKey::BossKey), QString::number(0x8000 + 'X'));
        QCOMPARE(int(m_fixture->Config().BossKey), 0x8000 + 'X');
        QCoreApplication::sendPostedEvents(&m_fixture->Main());
        QCOMPARE(m_fixture->Main().Messages, QList<int>{WM_BOSS_KEY_CHANGED});

        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Backspace);
        Leave();
        QCOMPARE(Stored(TConfigKey::BossKey), QStringLiteral("0"));
        QCOMPARE(int(m_fixture->Config().BossKey), 0);
    }

    void shortcutText_data() {
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("alt x") << int(Qt::Key_X) << int(Qt::AltModifier) << 0x8058 << "Alt + X";
        QTest::newRow("ctrl shift f5") << int(Qt::Key_F5) << int(Qt::ControlModifier | Qt::ShiftModifier)
                                       << (0x4000 | 0x2000 | 0x74) << "Ctrl + Shift + F5";
        QTest::newRow("modifier alone") << int(Qt::Key_Control) << int(Qt::ControlModifier) << 0 << "无";
    }

    void shortcutText() {
        QFETCH(int, qtKey);
        QFETCH(int, modifiers);
        QFETCH(int, value);
        QFETCH(QString, text);
        QCOMPARE(int(ShortcutValue(qtKey, Qt::KeyboardModifiers(modifiers))), value);
        QCOMPARE(ShortcutText(quint16(value)), text);
    }

    void emptyDownloadFolderShowsDefaultWithoutStoringIt() {
        Open();
        auto* edit = m_page->findChild<QLineEdit*>(QStringLiteral("bsSkinEditDownloadPath"));
        QCOMPARE(edit->text(), DefaultDownloadDir());
        QCOMPARE(Stored(TConfigKey::DownloadFolder), QString());
    }

    void folderButtonStoresChosenFolder() {
        QTemporaryDir folder;
        Open();
        m_page->PickFolder = [&](QWidget*, const QString&) { return folder.path() + QLatin1Char('/'); };
        m_page->findChild<QPushButton*>(QStringLiteral("bsSkinButtonSetDownloadPath"))->click();
        QCOMPARE(Stored(TConfigKey::DownloadFolder), folder.path() + QLatin1Char('/'));
        QCOMPARE(m_fixture->Config().DownloadFolder, folder.path() + QLatin1Char('/'));
        // A cancelled picker changes nothing.
        m_page->PickFolder = [](QWidget*, const QString&) { return QString(); };
        m_page->findChild<QPushButton*>(QStringLiteral("bsSkinButtonSetDownloadPath"))->click();
        QCOMPARE(Stored(TConfigKey::DownloadFolder), folder.path() + QLatin1Char('/'));
    }

    void folderThatCannotBeWrittenIsRefusedWithAMessage() {
        QTemporaryDir good;
        StoreOption(m_fixture->Config(), TConfigKey::DownloadFolder, good.path() + QLatin1Char('/'));
        Open();
        QTemporaryFile notAFolder;
        QVERIFY(notAFolder.open());
        TModalAnswerer boxes;
        QVERIFY(!m_page->TakeDownloadFolder(notAFolder.fileName() + QLatin1Char('/')));
        QCOMPARE(boxes.Messages.size(), 1);
        QVERIFY(boxes.Messages.first().contains(notAFolder.fileName()));
        QCOMPARE(m_page->findChild<QLineEdit*>(QStringLiteral("bsSkinEditDownloadPath"))->text(),
                 good.path() + QLatin1Char('/'));
        QCOMPARE(Stored(TConfigKey::DownloadFolder), good.path() + QLatin1Char('/'));
    }

    void readOnlyFolderIsNotWritable() {
        QTemporaryDir folder;
        QVERIFY(IsWritableFolder(folder.path()));
        QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                                         QFile::ExeOther));
        const QString path = folder.path();
        const QString failure = RunWithoutPrivileges([path]() -> QString {
            return IsWritableFolder(path) ? QStringLiteral("a read-only folder counted as writable")
                                          : QString();
        });
        QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY(!IsWritableFolder(folder.path() + QStringLiteral("/missing")));
    }

    void sectionLabelsShowTheirPages() {
        Open();
        auto* pages = m_page->findChild<QStackedWidget*>(QStringLiteral("bsSkinPageControl1"));
        auto* sel = m_page->findChild<QPushButton*>(QStringLiteral("bsSkinButtonSel"));
        QCOMPARE(pages->currentIndex(), 0);
        QCOMPARE(sel->text(), QStringLiteral("基本设置"));
        auto* hotKeys = m_page->findChild<QLabel*>(QStringLiteral("bsSkinLabelHotKeySet"));
        QTest::mouseClick(hotKeys, Qt::LeftButton);
        QCOMPARE(pages->currentIndex(), 2);
        QCOMPARE(sel->text(), QStringLiteral("快捷键设置"));
        QCOMPARE(sel->geometry(), hotKeys->geometry());
    }

    void wheelScrollsTheShortcutListBy25PerNotch() {
        Open();
        m_page->resize(1050, 300);
        m_page->SelectSection(2);
        m_page->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
        QScrollBar* bar =
            m_page->findChild<QScrollArea*>(QStringLiteral("bsSkinScrollBox1"))->verticalScrollBar();
        QVERIFY(bar->maximum() > 50);
        m_page->ScrollShortcuts(-2);
        QCOMPARE(bar->value(), 50);
        m_page->ScrollShortcuts(1);
        QCOMPARE(bar->value(), 25);
    }

    // The engine section lists the hosts on the compatibility engine (the built-in one cannot be
    // picked) and its button sends the picked host back to Chromium.
    void engineSectionSendsPickedHostBackToChromium() {
        TDomainKernel kernels(m_fixture->Db());
        kernels.LoadKernels();
        kernels.RememberKernel(QStringLiteral("http://old.example/a"), 1);
        kernels.RememberKernel(QStringLiteral("http://new.example/"), 0);
        kernels.ApplyDefaultKernels(QStringLiteral("[{\"domain\": \"oa.example.cn\"}]"));
        TFormOption page(&m_fixture->Main(), kNavigation, m_fixture->Config(), &kernels);
        QTest::mouseClick(page.findChild<QLabel*>(QStringLiteral("bsSkinLabelEngineSet")), Qt::LeftButton);
        page.show();
        auto* list = page.findChild<QListWidget*>(QStringLiteral("ListBoxCompatHosts"));
        auto* button = page.findChild<QPushButton*>(QStringLiteral("bsSkinButtonHostToChromium"));
        QVERIFY(list->isVisible());
        QCOMPARE(list->count(), 2);
        QVERIFY(!button->isEnabled());
        QVERIFY(!(list->item(0)->flags() & Qt::ItemIsSelectable)); // oa.example.cn
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
        QVERIFY(button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(list->count(), 1);
        QCOMPARE(kernels.LookupKernel(QStringLiteral("http://old.example/b")).kernel, quint8(0));
        QVERIFY(!button->isEnabled());
    }

private:
    void Open() {
        m_page = std::make_unique<TFormOption>(&m_fixture->Main(), kNavigation, m_fixture->Config());
        m_page->show();
        m_page->activateWindow();
        QApplication::setActiveWindow(m_page.get());
    }
    // Takes the focus away from the control that has it, as leaving it does.
    void Leave() { m_page->SaveFocusedControl(); }
    QString Stored(TConfigKey key) const { return m_fixture->Stored(key); }

    std::unique_ptr<TSettingsFixture> m_fixture;
    std::unique_ptr<TFormOption> m_page;
};

QTEST_MAIN(TestFormOption)
#include "tst_FormOption.moc"
