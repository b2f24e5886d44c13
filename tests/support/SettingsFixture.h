// What the settings windows (options page, history manager) are given in a test: a fresh data file
// with its configuration loaded and its history store, and a stand-in for the main window that
// keeps the messages posted to it. Made in a test's init() and dropped in its cleanup().
#pragma once

#include "common/Messages.h"
#include "history/History.h"
#include "storage/Config.h"
#include "support/TestDb.h"

#include <QEvent>
#include <QList>
#include <QStandardPaths>
#include <QStringList>
#include <memory>

// Receives the messages the windows post to the main window.
class TMainWindowStandIn : public QObject {
public:
    QList<int> Messages; // ids, in the order received
    QStringList Texts;   // the records of the messages that carry a text (WM_OPEN_URL)

protected:
    void customEvent(QEvent* event) override {
        Messages.append(static_cast<int>(event->type()));
        if (auto* message = dynamic_cast<TRecordMessage<QString>*>(event))
            Texts.append(message->Record);
    }
};

class TSettingsFixture {
public:
    TSettingsFixture() {
        QStandardPaths::setTestModeEnabled(true);
        m_config = std::make_unique<TConfig>(m_data.Db());
        m_config->LoadConfig();
        m_history = std::make_unique<THistory>(m_data.Db());
    }
    TSettingsFixture(const TSettingsFixture&) = delete;
    TSettingsFixture& operator=(const TSettingsFixture&) = delete;

    bool Ok() const { return m_data.Ok(); }
    TTestDb& Data() { return m_data; }
    TDb& Db() { return m_data.Db(); }
    TConfig& Config() { return *m_config; }
    THistory& History() { return *m_history; }
    TMainWindowStandIn& Main() { return m_main; }
    // The value of a configuration key as the data file holds it.
    QString Stored(TConfigKey key) { return TConfig(m_data.Db()).GetValue(key); }

private:
    TTestDb m_data;
    std::unique_ptr<TConfig> m_config;
    std::unique_ptr<THistory> m_history;
    TMainWindowStandIn m_main;
};
