// The stores and a window around one tab controller, for the tests that drive real engines.
#pragma once

#include "browser/BrowserTab.h"
#include "browser/DomainKernel.h"
#include "browser/PageView.h"
#include "browser/TabController.h"
#include "history/History.h"
#include "history/RecentlyClosed.h"
#include "storage/Config.h"
#include "storage/DbMain.h"
#include "support/TestDb.h"

#include <QElapsedTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <QtTest>
#include <memory>

constexpr int LoadTimeout = 20000;

// A small UTF-8 page with the title, body and script.
inline QByteArray Page(const QString& title, const QString& body = QString(),
                       const QString& script = QString()) {
    return QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title></head>"
                          "<body>%2<script>%3</script></body></html>")
        .arg(title, body, script)
        .toUtf8();
}

// The stores and a window around one controller.
struct TFixture {
    TTestDb Data;
    TConfig Config{Data.Db()};
    THistory History{Data.Db()};
    TDomainKernel Kernels{Data.Db()};
    TRecentlyClosed Closed{History};
    QWidget Window;
    QWidget* Host = nullptr;
    std::unique_ptr<TTabController> Controller;

    TFixture() {
        auto* layout = new QVBoxLayout(&Window);
        Host = new QWidget(&Window);
        Controller = std::make_unique<TTabController>(Config, History, Kernels, Closed, Host);
        Controller->SetCtrlHeldFunction([] { return false; });
        layout->addWidget(Controller->TabStrip());
        layout->addWidget(Host, 1);
        Window.resize(1000, 700);
        Window.show();
    }
    ~TFixture() {
        Controller->SetClosing(true);
        Controller.reset();
    }
    // The newest history row of the address, or an empty record.
    THistoryInfo HistoryRow(const QString& url) {
        const THistoryInfoList rows = History.FindHistoryByUrl(url);
        for (const THistoryInfo& row : rows)
            if (row.SiteUrl == url)
                return row;
        return THistoryInfo();
    }
    bool IsClosedRow(const QString& url) {
        std::unique_ptr<TSQLiteTable> table = Data.Db().Query(
            QStringLiteral("SELECT isclose FROM qb_history WHERE site_url = '%1' ORDER BY id DESC").arg(url));
        return table && table->RowCount() > 0 && table->FieldAsInt64(QStringLiteral("isclose")) == 1;
    }
};

inline bool WaitIdle(TBrowserTab* tab) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < LoadTimeout) {
        if (tab->Idle == 1 && tab->View() && !tab->View()->IsLoading())
            return true;
        QTest::qWait(20);
    }
    return false;
}
