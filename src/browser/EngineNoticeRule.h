// When the window warns about the compatibility engine, and the words it uses. The engine is an
// old WebKit without security fixes: the user is told so the first time each host is sent to it,
// until the user answers "不再提示", which is kept in the settings table.
#pragma once

#include <QSet>
#include <QString>

class TConfig;

class TEngineNoticeRule {
public:
    explicit TEngineNoticeRule(TConfig& config);

    // True when the notice is to be shown for this host now: not turned off for good, and not
    // shown for the host before in this run. Marks the host as shown.
    bool Take(const QString& host);
    // "不再提示": no notice from now on, also after a restart. False when it could not be stored.
    bool TurnOff();
    bool IsOff() const;

    // The notice's text for a host sent to the compatibility engine (the host as plain text).
    static QString NoticeText(const QString& host);
    // The engine icon's hint for a tab's engine (0 Chromium, 1 the compatibility engine).
    static QString EngineHint(int kernel);

private:
    TConfig& m_config;
    QSet<QString> m_shownHosts;
};
