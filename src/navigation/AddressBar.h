// The address bar's behaviour: keys and clicks of EditUrl, the suggestion list filled from history,
// the go button and the address icon. The widgets are built by the main window's layout.
#pragma once

#include "navigation/AddressSuggest.h"

#include <QObject>
#include <QStringList>
#include <functional>

class QAbstractButton;
class QLabel;
class QWidget;
class TAddressEdit;
class TNavigationHost;
class TSearchBox;
class TSuggestionList;

class TAddressBar final : public QObject {
    Q_OBJECT
public:
    // The history's suggestions for a text (at most six, best first), with their page titles.
    using TSuggestionSource = std::function<TSuggestionEntries(const QString& text)>;

    TAddressBar(TNavigationHost& host, TAddressEdit* edit, TSuggestionList* list, QLabel* addressIcon,
                QWidget* addressPanel, QAbstractButton* goButton, QObject* parent = nullptr);

    void SetSuggestionSource(TSuggestionSource source) { m_source = std::move(source); }
    // Typed words that are not an address go to the engine chosen in this search box (Baidu
    // without one).
    void SetSearchBox(const TSearchBox* searchBox) { m_searchBox = searchBox; }
    // What opening the typed text opens: the text itself when it is an address, else the chosen
    // search engine's result page for it.
    QString AddressOfTyped(const QString& text) const;

    // Shows an address in the bar and the matching address icon; the list is left alone.
    // The address with its icon: the lock for https, unless the page's certificate was refused.
    void ShowAddress(const QString& address, bool certificateRefused = false);
    // Fills the list with the history addresses containing the text, places it under the address
    // field and shows it (with no height when nothing matched); nothing while the field is hidden.
    void FillSuggestions(const QString& text);
    void HideSuggestions();
    // Alt+D: focus the bar and select its text; the list is hidden.
    void FocusAndSelect();

private:
    void EditUrlKeyUp(int virtualKey, Qt::KeyboardModifiers modifiers);
    void MoveSelection(bool down);
    void OpenUrlClick();
    void OpenTyped(const QString& text, bool newTab);

    TNavigationHost& m_host;
    TAddressEdit* m_edit;
    TSuggestionList* m_list;
    QLabel* m_icon;
    QWidget* m_panel;
    TSuggestionSource m_source;
    const TSearchBox* m_searchBox = nullptr;
};
