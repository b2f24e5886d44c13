// TEngineNotice: the compatibility engine's warning strip, its buttons and its place.
#include "shell/EngineNotice.h"

#include "common/Logging.h"

#include <QBoxLayout>
#include <QEvent>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kMinHeight = 41;

} // namespace

TEngineNotice::TEngineNotice(TConfig& config, QWidget* anchor, QWidget* window)
    : QWidget(window), m_rule(config), m_anchor(anchor) {
    setObjectName(QStringLiteral("PanelEngineNotice"));
    setAttribute(Qt::WA_StyledBackground, true);
    setStyleSheet(QStringLiteral(
        "#PanelEngineNotice { background: rgb(255, 241, 204); border-bottom: 1px solid #e8c66a; }"
        "#LabelEngineNotice { color: #5c3b1e; font-size: 13px; }"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(16, 6, 8, 6);
    row->setSpacing(6);
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("LabelEngineNotice"));
    m_text->setTextFormat(Qt::PlainText); // the host comes from a page address
    m_text->setWordWrap(true);
    row->addWidget(m_text, 1);
    auto* never = new QPushButton(tr("不再提示"), this);
    never->setObjectName(QStringLiteral("bsSkinButtonEngineNoticeOff"));
    auto* close = new QPushButton(QStringLiteral("×"), this);
    close->setObjectName(QStringLiteral("bsSkinButtonEngineNoticeClose"));
    close->setToolTip(tr("关闭"));
    close->setFixedWidth(30);
    for (QPushButton* button : {never, close}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedHeight(25);
        row->addWidget(button, 0, Qt::AlignVCenter);
    }
    connect(never, &QPushButton::clicked, this, &TEngineNotice::TurnOff);
    connect(close, &QPushButton::clicked, this, &QWidget::hide);
    if (m_anchor)
        m_anchor->installEventFilter(this);
    hide();
}

void TEngineNotice::Offer(const QString& host) {
    if (!m_rule.Take(host))
        return;
    m_text->setText(TEngineNoticeRule::NoticeText(host));
    Place();
    show();
    raise();
}

void TEngineNotice::EngineShown(int kernel) {
    if (kernel != 1)
        hide();
}

void TEngineNotice::TurnOff() {
    if (!m_rule.TurnOff())
        WriteLog(QStringLiteral("EngineNotice: the answer could not be stored"));
    hide();
}

void TEngineNotice::Place() {
    if (!m_anchor || !parentWidget())
        return;
    const QPoint top = m_anchor->mapTo(parentWidget(), QPoint(0, 0));
    const int width = m_anchor->width();
    setGeometry(top.x(), top.y(), width, qMax(kMinHeight, heightForWidth(width)));
}

bool TEngineNotice::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_anchor && (event->type() == QEvent::Resize || event->type() == QEvent::Move) && isVisible())
        Place();
    return QWidget::eventFilter(watched, event);
}
