// TCompatHostList: the compatibility engine's hosts on the options page.
#include "options/CompatHostList.h"

#include "options/CompatHostSource.h"

#include <QBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

TCompatHostList::TCompatHostList(TCompatHostSource* kernels, QWidget* parent) : QWidget(parent), m_kernels(kernels) {
    setObjectName(QStringLiteral("CompatHostList"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    auto* note = new QLabel(tr("以下网站会用兼容内核（ie内核）打开。兼容内核是多年未更新的旧内核，存在未修复的安全漏洞，"
                               "不适合网银、邮箱、登录等敏感网站。选中网站后点击“改用Chrome内核”，"
                               "以后打开该网站时使用安全的Chrome内核；已打开的标签页在下次打开网址时切换。"),
                            this);
    note->setObjectName(QStringLiteral("LabelCompatHostsNote"));
    note->setWordWrap(true);
    note->setStyleSheet(QStringLiteral("color: #7a8494;"));
    column->addWidget(note);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("ListBoxCompatHosts"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    column->addWidget(m_list, 1);
    m_empty = new QLabel(tr("没有使用兼容内核的网站"), this);
    m_empty->setObjectName(QStringLiteral("LabelNoCompatHosts"));
    column->addWidget(m_empty);
    m_toChromium = new QPushButton(tr("改用Chrome内核"), this);
    m_toChromium->setObjectName(QStringLiteral("bsSkinButtonHostToChromium"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_toChromium);
    buttons->addStretch(1);
    column->addLayout(buttons);
    connect(m_list, &QListWidget::itemSelectionChanged, this, &TCompatHostList::UpdateButton);
    connect(m_toChromium, &QPushButton::clicked, this, &TCompatHostList::SendSelectedToChromium);
    Refresh();
}

void TCompatHostList::Refresh() {
    const QListWidgetItem* current = m_list->currentItem();
    const QString selected = current ? current->data(Qt::UserRole).toString() : QString();
    m_list->clear();
    const QStringList hosts = m_kernels ? m_kernels->CompatHosts() : QStringList();
    for (const QString& host : hosts) {
        auto* item = new QListWidgetItem(host, m_list); // item texts are plain text
        if (m_kernels->IsBuiltIn(host)) {
            // Set again at every start: it cannot be sent back for good, so it is not offered.
            item->setText(host + tr("（内置，每次启动时使用兼容内核）"));
            item->setFlags(Qt::ItemIsEnabled);
            item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
        }
        item->setData(Qt::UserRole, host);
        if (host == selected)
            m_list->setCurrentItem(item);
    }
    m_empty->setVisible(m_list->count() == 0);
    UpdateButton();
}

void TCompatHostList::SendSelectedToChromium() {
    const QListWidgetItem* current = m_list->currentItem();
    if (!m_kernels || !current || !current->isSelected())
        return;
    m_kernels->SendToChromium(current->data(Qt::UserRole).toString());
    Refresh();
}

void TCompatHostList::UpdateButton() {
    m_toChromium->setEnabled(!m_list->selectedItems().isEmpty());
}

void TCompatHostList::showEvent(QShowEvent* event) {
    Refresh();
    QWidget::showEvent(event);
}
