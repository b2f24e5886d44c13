// The compatibility engine's notice: the once-per-host rule, its stored "off" answer and its texts.
#include "browser/EngineNoticeRule.h"

#include "storage/Config.h"

#include <QCoreApplication>

namespace {

constexpr int kMaxShownHost = 80;

QString Tr(const char* text) {
    return QCoreApplication::translate("TEngineNotice", text);
}

} // namespace

TEngineNoticeRule::TEngineNoticeRule(TConfig& config) : m_config(config) {}

bool TEngineNoticeRule::IsOff() const {
    return m_config.GetValue(TConfigKey::EngineNoticeOff) == QLatin1String("1");
}

bool TEngineNoticeRule::Take(const QString& host) {
    if (host.isEmpty() || IsOff() || m_shownHosts.contains(host))
        return false;
    m_shownHosts.insert(host);
    return true;
}

bool TEngineNoticeRule::TurnOff() {
    return m_config.SetValue(TConfigKey::EngineNoticeOff, QStringLiteral("1"));
}

QString TEngineNoticeRule::NoticeText(const QString& host) {
    const QString shown = host.size() > kMaxShownHost ? host.left(kMaxShownHost) + QStringLiteral("…") : host;
    return Tr("%1 已切换到兼容内核（ie内核）。兼容内核是多年未更新的旧内核，存在未修复的安全漏洞，"
              "不适合网银、邮箱、登录等敏感网站或不可信的网站；Chrome内核是安全的默认内核。")
        .arg(shown);
}

QString TEngineNoticeRule::EngineHint(int kernel) {
    return kernel == 1 ? Tr("兼容内核（ie内核）：旧内核，已停止维护，不适合网银、邮箱、登录等敏感网站。"
                            "点击切换回Chrome内核")
                       : Tr("Chrome内核：安全的默认内核，持续获得安全更新。点击切换到兼容内核（ie内核）");
}
