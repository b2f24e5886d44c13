// TEngineNotice, the strip across the top of the page area that tells the user, when a host is
// sent to the compatibility engine, that the engine is old and unsafe for sensitive sites. It has
// a "不再提示" button (kept in the settings) and a close button; it is no dialog and takes no focus.
#pragma once

#include "browser/EngineNoticeRule.h"

#include <QWidget>

class QLabel;
class TConfig;

class TEngineNotice final : public QWidget {
    Q_OBJECT
public:
    // The strip lies in window, over the top edge of anchor (the page area), and follows it.
    TEngineNotice(TConfig& config, QWidget* anchor, QWidget* window);

    // A host was just sent to the compatibility engine by the user: shown when the rule allows.
    void Offer(const QString& host);
    // The current tab shows this engine (0 Chromium, 1 the compatibility engine): the strip is
    // about a page of the old engine, so it goes when another engine is shown.
    void EngineShown(int kernel);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Place();
    void TurnOff();

    TEngineNoticeRule m_rule;
    QWidget* m_anchor;
    QLabel* m_text = nullptr;
};
