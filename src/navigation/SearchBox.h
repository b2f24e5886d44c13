// The search box: EditSearch with its hint text, the engine icon ImageSearch with the engine menu
// PopupMenuSearch, and the search button. A search opens the engine's result page in a new tab.
#pragma once

#include <QObject>
#include <QString>

class QAbstractButton;
class QLineEdit;
class QMenu;
class TNavigationHost;

class TSearchBox final : public QObject {
    Q_OBJECT
public:
    TSearchBox(TNavigationHost& host, QLineEdit* edit, QAbstractButton* engineIcon,
               QAbstractButton* searchButton, QObject* parent = nullptr);

    // Chooses the engine and shows its icon.
    void SetSearchEngine(int index);
    int SearchEngine() const { return m_engine; }
    // The suggestion text shown while the box is empty and the address it stands for.
    void SetHint(const QString& hint, const QString& hintUrl);
    // Kept as the read side of SetHint, the box's hint and its address; nothing reads them yet.
    QString SearchHint() const { return m_hint; }
    QString SearchHintUrl() const { return m_hintUrl; }
    QMenu* EngineMenu() const { return m_menu; }

    // Runs the search for the box's text (or opens the hint's address when the text is the hint).
    void BitmapButtonSearchClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ImageSearchClick();

    TNavigationHost& m_host;
    QLineEdit* m_edit;
    QAbstractButton* m_engineIcon;
    QMenu* m_menu;
    int m_engine = 3;
    QString m_hint;
    QString m_hintUrl;
};
