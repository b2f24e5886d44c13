// The search box: engine menu, hint text and the search itself.
#include "navigation/SearchBox.h"

#include "common/AppIcons.h"
#include "common/VirtualKey.h"
#include "navigation/NavigationHost.h"
#include "navigation/SearchAddress.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>

namespace {
const char* const kEngineItems[seCount] = {"N360", "NGoogle", "NBing", "NBaidu"};
const char* const kEngineIcons[seCount] = {"search-360", "search-google", "search-bing", "search-baidu"};

QIcon SearchEngineIcon(int engine) {
    return engine >= 0 && engine < seCount ? AppIcon(QLatin1String(kEngineIcons[engine])) : QIcon();
}
} // namespace

TSearchBox::TSearchBox(TNavigationHost& host, QLineEdit* edit, QAbstractButton* engineIcon,
                       QAbstractButton* searchButton, QObject* parent)
    : QObject(parent), m_host(host), m_edit(edit), m_engineIcon(engineIcon),
      m_menu(new QMenu(edit->window())) {
    m_menu->setObjectName(QStringLiteral("PopupMenuSearch"));
    for (int index = 0; index < seCount; ++index) {
        QAction* item = m_menu->addAction(SearchEngineIcon(index), SearchEngineCaption(index));
        item->setObjectName(QLatin1String(kEngineItems[index]));
        connect(item, &QAction::triggered, this, [this, index] {
            SetSearchEngine(index);
            m_edit->setFocus(Qt::OtherFocusReason);
        });
    }
    m_edit->installEventFilter(this);
    connect(m_engineIcon, &QAbstractButton::clicked, this, &TSearchBox::ImageSearchClick);
    connect(searchButton, &QAbstractButton::clicked, this, &TSearchBox::BitmapButtonSearchClick);
    SetSearchEngine(seBaidu);
}

void TSearchBox::SetSearchEngine(int index) {
    m_engine = index;
    m_engineIcon->setIcon(SearchEngineIcon(index));
    m_engineIcon->setToolTip(SearchEngineCaption(index));
}

void TSearchBox::SetHint(const QString& hint, const QString& hintUrl) {
    m_hint = hint;
    m_hintUrl = hintUrl;
    m_edit->setPlaceholderText(hint);
    m_edit->setText(hint);
}

void TSearchBox::BitmapButtonSearchClick() {
    if (m_host.IsClosing())
        return;
    const QString words = m_edit->text().trimmed();
    if (words == m_hint) {
        m_host.OpenInNewTab(m_hintUrl, 0);
        return;
    }
    const QString address = SearchEngineAddress(m_engine, words);
    if (!address.isEmpty())
        m_host.OpenInNewTab(address, 0);
}

void TSearchBox::ImageSearchClick() {
    m_menu->popup(m_engineIcon->mapToGlobal(QPoint(0, m_engineIcon->height())));
}

bool TSearchBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_edit) {
        switch (event->type()) {
        case QEvent::FocusIn:
            if (m_edit->text() == m_hint)
                m_edit->clear();
            break;
        case QEvent::FocusOut:
            if (m_edit->text().trimmed().isEmpty())
                m_edit->setText(m_hint);
            break;
        case QEvent::KeyRelease: {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (!key->isAutoRepeat() && VirtualKeyOfQtKey(key->key(), key->modifiers()) == VK_RETURN)
                BitmapButtonSearchClick();
            break;
        }
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
