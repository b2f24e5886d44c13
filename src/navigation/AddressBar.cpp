// Address bar behaviour: key rules, suggestions, go button, address icon.
#include "navigation/AddressBar.h"

#include "common/AppIcons.h"
#include "navigation/AddressEdit.h"
#include "navigation/AddressSuggest.h"
#include "navigation/NavigationHost.h"
#include "navigation/SearchAddress.h"
#include "navigation/SearchBox.h"
#include "navigation/SuggestionList.h"
#include "navigation/TypedAddress.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QLabel>
#include <QUrl>

TAddressBar::TAddressBar(TNavigationHost& host, TAddressEdit* edit, TSuggestionList* list,
                         QLabel* addressIcon, QWidget* addressPanel, QAbstractButton* goButton,
                         QObject* parent)
    : QObject(parent), m_host(host), m_edit(edit), m_list(list), m_icon(addressIcon), m_panel(addressPanel) {
    connect(m_edit, &TAddressEdit::keyReleased, this, &TAddressBar::EditUrlKeyUp);
    connect(m_edit, &TAddressEdit::textEntered, this, &TAddressBar::FillSuggestions);
    connect(m_list, &TSuggestionList::chosen, this, [this](const QString& text) {
        if (text.isEmpty())
            return;
        m_edit->setModified(false);
        m_host.OpenInCurrentTab(text);
    });
    connect(goButton, &QAbstractButton::clicked, this, &TAddressBar::OpenUrlClick);
    ShowAddress(QString());
}

void TAddressBar::ShowAddress(const QString& address, bool certificateRefused) {
    // A page still loading reports its address again and again: what the user is typing stays
    // until it is opened, put back with Esc, or the field loses the keyboard.
    if (!(m_edit->hasFocus() && m_edit->isModified())) {
        m_edit->setText(address);
        m_edit->setCursorPosition(0);
    }
    // The lock only for an https page whose certificate was accepted.
    const bool secure = IsSecureAddress(address) && !certificateRefused;
    m_icon->setPixmap(
        IconPixmap(secure ? QStringLiteral("address-secure") : QStringLiteral("address"), m_icon->size()));
}

void TAddressBar::FillSuggestions(const QString& text) {
    // The list belongs under the field: none while the field is hidden (full screen, where the
    // F11 that hid it is released in the field, and F11's key code lies among the letters).
    if (!m_edit->isVisible())
        return;
    const TSuggestionEntries rows = m_source ? m_source(text) : TSuggestionEntries();
    m_list->SetEntries(rows);
    QWidget* area = m_list->parentWidget();
    const QPoint panelTopLeft = m_panel->mapTo(area, QPoint(0, 0));
    const int height = rows.isEmpty() ? 0 : (m_list->ItemHeight() + 1) * rows.size() + 2;
    m_list->setGeometry(panelTopLeft.x() + 2, panelTopLeft.y() + m_panel->height() + 1, m_panel->width(),
                        height);
    m_list->setCurrentRow(-1);
    m_list->show();
    m_list->raise();
}

void TAddressBar::HideSuggestions() {
    m_list->hide();
}

void TAddressBar::FocusAndSelect() {
    HideSuggestions();
    m_edit->setFocus(Qt::ShortcutFocusReason);
    m_edit->selectAll();
}

void TAddressBar::EditUrlKeyUp(int virtualKey, Qt::KeyboardModifiers modifiers) {
    const TAddressKeyAction action =
        AddressKeyAction(virtualKey, modifiers.testFlag(Qt::ControlModifier),
                         modifiers.testFlag(Qt::ShiftModifier), modifiers.testFlag(Qt::AltModifier));
    switch (action) {
    case TAddressKeyAction::None:
        break;
    case TAddressKeyAction::FillSuggestions:
        FillSuggestions(m_edit->text());
        break;
    case TAddressKeyAction::Open:
    case TAddressKeyAction::OpenInNewTab: {
        if (!m_host.HasCurrentTab())
            break;
        HideSuggestions();
        m_edit->ForgetHeldKeys();
        OpenTyped(m_edit->text(), action == TAddressKeyAction::OpenInNewTab);
        break;
    }
    case TAddressKeyAction::Revert:
        HideSuggestions();
        m_edit->ForgetHeldKeys();
        if (m_host.HasCurrentTab()) {
            m_edit->setModified(false);
            ShowAddress(m_host.CurrentTabAddress());
            m_edit->selectAll();
        }
        break;
    case TAddressKeyAction::SelectPrevious:
    case TAddressKeyAction::SelectNext:
        MoveSelection(action == TAddressKeyAction::SelectNext);
        break;
    }
}

void TAddressBar::MoveSelection(bool down) {
    if (!m_list->isVisible())
        return;
    const int count = m_list->count();
    const int row =
        down ? NextSuggestion(m_list->currentRow(), count) : PreviousSuggestion(m_list->currentRow(), count);
    m_list->setCurrentRow(row);
    if (const QListWidgetItem* item = m_list->currentItem()) {
        m_edit->setText(item->text());
        m_edit->setModified(true); // chosen by the user: a loading page does not overwrite it
    }
}

void TAddressBar::OpenUrlClick() {
    HideSuggestions();
    OpenTyped(m_edit->text(), false);
}

QString TAddressBar::AddressOfTyped(const QString& text) const {
    const QString typed = text.trimmed();
    if (typed.isEmpty() || IsTypedAddress(typed))
        return typed;
    return SearchEngineAddress(m_searchBox ? m_searchBox->SearchEngine() : seBaidu, typed);
}

void TAddressBar::OpenTyped(const QString& text, bool newTab) {
    m_edit->setModified(false);
    const QString address = AddressOfTyped(text);
    if (IsDesktopAddress(address)) {
        // A mail or phone address goes to the desktop's program for it; no page opens.
        QDesktopServices::openUrl(QUrl(address));
        return;
    }
    if (newTab)
        m_host.OpenInNewTab(address, 0);
    else
        m_host.OpenInCurrentTab(address);
}
