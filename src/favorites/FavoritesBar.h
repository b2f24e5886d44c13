// The favorites shown by the main window: one flat button per favorite on the favorites bar and
// one entry per favorite at the end of the favorites menu, the default favorites ahead of the
// stored ones; their icons, the buttons' context menu and the drag reorder of the stored ones.
#pragma once

#include "favorites/FavoriteDrag.h"
#include "favorites/Favorites.h"

#include <QFont>
#include <QHash>
#include <QIcon>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QVector>
#include <functional>

class QAction;
class QMenu;
class QMouseEvent;
class QToolButton;
class TFavoritesScroller;

class TFavoritesBar final : public QObject {
    Q_OBJECT
public:
    // Asks for a missing icon file of a favorite's address (the favicon fetcher).
    using TIconRequester = std::function<void(const QString& url, const QString& iconFile)>;
    // The first entries of the favorites menu that are fixed; favorites follow them.
    static constexpr int FixedMenuEntries = 7;

    // host: the bar's place (its buttons become its descendants); menu: the favorites menu, whose
    // first FixedMenuEntries entries exist already; barImage / menuImage: images 0 and 1, the
    // default page icons of the bar and the menu.
    TFavoritesBar(TFavorites& favorites, QWidget* host, QMenu* menu, const QIcon& barImage,
                  const QIcon& menuImage, TIconRequester requestIcon, QObject* parent = nullptr);
    ~TFavoritesBar() override;

    void SetDefaults(const TFavInfoList& defaults) { m_defaults = defaults; }
    // Reloads the stored favorites and builds every button and menu entry anew.
    void Rebuild();
    // The image list: 0 and 1 built in, then the loaded favicons.
    const QVector<QIcon>& Images() const { return m_images; }

    // The buttons and menu entries in shown order (tests and the benchmark read them).
    QVector<QToolButton*> Buttons() const;
    QList<QAction*> MenuEntries() const;
    QMenu* ContextMenu() const { return m_contextMenu; }

    // OpenFavorite: the click of a button or menu entry with this index (its tag). Nothing for the
    // click that ends a drop; otherwise openRequested with the address.
    void OpenFavorite(int index);
    // The context menu's commands, for the button with this index.
    void CopyUrl(int index);
    void DeleteFavorite(int index);
    void CutUrl(int index);
    void EditFavorite(int index);
    void OpenInNewWindow(int index);
    // Moves the stored favorite at position `from` before or after the one at place.Target and
    // stores the new order (the end of a drag).
    void MoveStored(int from, const TDropPlace& place);

signals:
    // A favorite is to be opened (the window decides in which tab).
    void openRequested(const QString& url);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TEntry {
        QToolButton* Button = nullptr;
        QAction* MenuEntry = nullptr;
    };

    void Clear();
    void AddEntry(const TFavInfo& info, int index, bool stored);
    // The icon of a favorite's address: its file's picture appended to the image list, else the
    // default images (and the file is asked for when missing). Answers the menu's image index.
    int LoadImage(const QString& url, QIcon* buttonIcon);
    // Every entry gets the tag of its place: stored by position, defaults after the count.
    void RenumberEntries();
    // FitCaption of the name in the bar's font, remembered for the next builds.
    int FitCaption(QString& caption);
    void SetTag(const TEntry& entry, int index);
    int TagOf(QObject* control) const;
    // The menu's favorite entries follow the buttons' order.
    void ReorderMenu();
    void ShowContextMenu(QToolButton* button, const QPoint& localPos);
    void DragEvent(QToolButton* button, QMouseEvent* mouse);
    void Drop(QToolButton* button, const QPoint& globalPos);
    // The places of the stored favorites whose address is url.
    QVector<int> StoredWithUrl(const QString& url) const;

    TFavorites& m_favorites;
    QWidget* m_host;
    QMenu* m_menu;
    TFavoritesScroller* m_scroller = nullptr;
    QMenu* m_contextMenu = nullptr;
    TIconRequester m_requestIcon;
    TFavInfoList m_defaults;
    QVector<QIcon> m_images;
    QString m_iconFolder; // where the favicon files are, read once per build
    QFont m_captionFont;
    QHash<QString, QPair<QString, int>> m_fittedCaptions; // name -> fitted caption and button width
    QVector<TEntry> m_defaultEntries;                     // in list order
    QVector<TEntry> m_storedEntries;                      // in Items order
    QPointer<QToolButton> m_menuButton;                   // the button the context menu was opened on
    TFavoriteDrag m_drag;
    bool m_cursorOverridden = false;
};
