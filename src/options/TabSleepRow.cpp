// The tab sleep row of the options page.
#include "options/TabSleepRow.h"

#include "browser/TabSleepPolicy.h"
#include "storage/Config.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

TTabSleepRow::TTabSleepRow(TConfig& config, QWidget* parent)
    : QWidget(parent), m_config(config), m_choice(new QComboBox(this)) {
    setObjectName(QStringLiteral("TabSleepRow"));
    m_choice->setObjectName(QStringLiteral("ComboTabSleep"));
    for (const int minutes : TTabSleepPolicy::MinuteChoices())
        m_choice->addItem(minutes == 0 ? tr("关闭") : tr("%1 分钟").arg(minutes), minutes);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(tr("标签页休眠"), this));
    row->addWidget(m_choice);
    row->addStretch(1);
    connect(m_choice, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        m_config.SetValue(TConfigKey::TabSleepMinutes, QString::number(m_choice->itemData(index).toInt()));
    });
    ShowStored();
}

void TTabSleepRow::ShowStored() {
    const int stored = TTabSleepPolicy::StoredMinutes(m_config.GetValue(TConfigKey::TabSleepMinutes));
    int index = m_choice->count() - 1;
    for (int i = m_choice->count() - 1; i >= 0; --i)
        if (m_choice->itemData(i).toInt() >= stored)
            index = i;
    const QSignalBlocker block(m_choice);
    m_choice->setCurrentIndex(index);
}
