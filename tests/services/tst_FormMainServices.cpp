// The main window's service entry points under Xvfb: the certification icon and both parts of
// the certified badge open the blank registration form, the About box's link and the help menu's
// items open the vendor's pages in new tabs.
#include "browser/BrowserTab.h"
#include "browser/TabController.h"
#include "common/AppPaths.h"
#include "support/ModalAnswerer.h"
#include "services/FormDomainAdd.h"
#include "shell/FormMain.h"
#include "support/EngineTestMain.h"
#include "support/TestDb.h"
#include "tools/FormAbout.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {
constexpr int kOpenTimeout = 20000;

std::unique_ptr<TFormMain> OpenWindow(TTestDb& data) {
    auto window = std::make_unique<TFormMain>(data.Db(), QStringLiteral("about:blank"));
    window->Tabs()->SetCtrlHeldFunction([] { return false; });
    window->show();
    QElapsedTimer timer;
    timer.start();
    while (window->Tabs()->TabCount() == 0 && timer.elapsed() < kOpenTimeout)
        QTest::qWait(20);
    return window;
}

bool HasTabWith(TFormMain& window, const QString& url) {
    for (int i = 0; i < window.Tabs()->TabCount(); ++i) {
        TBrowserTab* tab = window.Tabs()->TabAt(i);
        if (tab && (tab->PageUrl == url || tab->CurrentUrl() == url))
            return true;
    }
    return false;
}
} // namespace

class TestFormMainServices : public QObject {
    Q_OBJECT

private slots:
    void badgeOpensTheBlankRegistrationForm() {
        TTestDb data;
        QVERIFY(data.Ok());
        std::unique_ptr<TFormMain> window = OpenWindow(data);
        QVERIFY(window->Tabs()->TabCount() > 0);
        QStringList seen;
        TModalAnswerer answerer([&seen](QWidget* dialog) {
            seen << dialog->metaObject()->className();
            if (auto* form = qobject_cast<TFormDomainAdd*>(dialog)) {
                const bool blank =
                    form->findChild<QLineEdit*>(QStringLiteral("bsSkinEditWebsiteName"))->text().isEmpty();
                seen << (blank ? QStringLiteral("blank") : QStringLiteral("filled"));
            }
            qobject_cast<QDialog*>(dialog)->reject();
        });
        window->findChild<QToolButton*>(QStringLiteral("ImageSafe"))->click();
        for (const char* name : {"LabelSafeName", "LabelSafe"}) {
            auto* label = window->findChild<QLabel*>(QLatin1String(name));
            QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), Qt::LeftButton, Qt::NoButton,
                                Qt::NoModifier);
            QApplication::sendEvent(label, &release);
        }
        QCOMPARE(seen, QStringList({"TFormDomainAdd", "blank", "TFormDomainAdd", "blank", "TFormDomainAdd",
                                    "blank"}));
    }

    void aboutLinkAndHelpMenuOpenTheVendorsPages() {
        TTestDb data;
        QVERIFY(data.Ok());
        std::unique_ptr<TFormMain> window = OpenWindow(data);
        QVERIFY(window->Tabs()->TabCount() > 0);
        int abouts = 0;
        TModalAnswerer answerer([&abouts](QWidget* dialog) {
            if (auto* about = qobject_cast<TFormAbout*>(dialog)) {
                ++abouts;
                emit about->findChild<QLabel*>(QStringLiteral("bsSkinLinkLabel"))->linkActivated(QString());
            } else {
                qobject_cast<QDialog*>(dialog)->reject();
            }
        });
        auto* aboutItem = window->findChild<QAction*>(QStringLiteral("About"));
        QVERIFY(aboutItem && aboutItem->isEnabled());
        aboutItem->trigger();
        QCOMPARE(abouts, 1);
        QTRY_VERIFY_WITH_TIMEOUT(HasTabWith(*window, SiteRoot() + QStringLiteral("index.html")), kOpenTimeout);

        window->findChild<QAction*>(QStringLiteral("NTieba"))->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(HasTabWith(*window, SiteRoot() + QStringLiteral("tieba.html")),
                                 kOpenTimeout);
        const int tabs = window->Tabs()->TabCount();
        window->findChild<QAction*>(QStringLiteral("NOfficialWebsite"))->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(window->Tabs()->TabCount(), tabs + 1, kOpenTimeout);
    }
};

QUELLON_ENGINE_TEST_MAIN(TestFormMainServices)
#include "tst_FormMainServices.moc"
