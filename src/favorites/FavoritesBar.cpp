// The favorites bar and the favorites menu: building, opening, the context menu, the drag reorder.
#include "favorites/FavoritesBar.h"

#include "common/AppPaths.h"
#include "common/Dialogs.h"
#include "common/FavIcons.h"
#include "common/TextFit.h"
#include "common/Thumbnails.h"
#include "common/WindowLauncher.h"
#include "favorites/FavoriteEntries.h"
#include "favorites/FavoritesScroller.h"
#include "favorites/FormNewFav.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QClipboard>
#include <QCursor>
#include <QFileInfo>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace {
const char* const TagProperty = "Tag";
constexpr int ImageSize = 18;
} // namespace

TFavoritesBar::TFavoritesBar(TFavorites& favorites, QWidget* host, QMenu* menu, const QIcon& barImage,
                             const QIcon& menuImage, TIconRequester requestIcon, QObject* parent)
    : QObject(parent), m_favorites(favorites), m_host(host), m_menu(menu),
      m_requestIcon(std::move(requestIcon)), m_images{barImage, menuImage} {
    m_scroller = new TFavoritesScroller(host);
    auto* row = new QHBoxLayout(host);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_scroller);

    // Thousands of favorites make a menu taller than the screen: it scrolls in one column rather
    // than spreading into columns that push the fixed entries (import and export) away.
    m_menu->setStyleSheet(QStringLiteral("QMenu { menu-scrollable: 1; }"));
    m_contextMenu = new QMenu(host);
    m_contextMenu->setObjectName(QStringLiteral("bsSkinPopupMenuFav"));
    auto addCommand = [this](const char* name, const QString& caption, void (TFavoritesBar::*command)(int)) {
        QAction* action = m_contextMenu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, [this, command] {
            if (m_menuButton)
                (this->*command)(TagOf(m_menuButton));
        });
    };
    addCommand("NCutUrl", tr("剪切"), &TFavoritesBar::CutUrl);
    addCommand("NCopyUrl", tr("复制"), &TFavoritesBar::CopyUrl);
    addCommand("NDelFav", tr("删除"), &TFavoritesBar::DeleteFavorite);
    addCommand("NEditFav", tr("编辑"), &TFavoritesBar::EditFavorite);
    m_contextMenu->addSeparator();
    addCommand("NOpenFavNewTab", tr("在新标签页打开"), &TFavoritesBar::OpenFavorite);
    addCommand("NOpenFavNewWin", tr("在新窗口打开"), &TFavoritesBar::OpenInNewWindow);
    // The menu held the mouse while it was open: its button missed the mouse leaving it and
    // would stay lit. Once the menu is gone the button is lit only with the mouse on it.
    connect(m_contextMenu, &QMenu::aboutToHide, this, [this] {
        QPointer<QToolButton> button = m_menuButton;
        QTimer::singleShot(0, this, [button] {
            if (button && !button->rect().contains(button->mapFromGlobal(QCursor::pos()))) {
                button->setAttribute(Qt::WA_UnderMouse, false);
                button->update();
            }
        });
    });
}

TFavoritesBar::~TFavoritesBar() {
    if (m_cursorOverridden)
        QApplication::restoreOverrideCursor();
}

// ---- Building ----------------------------------------------------------------------------

void TFavoritesBar::Rebuild() {
    m_scroller->hide();
    Clear();
    m_iconFolder = UserDataDir();
    m_favorites.LoadFavorites();
    for (const TFavoriteEntry& entry : TFavoriteEntries::ShownOrder(m_favorites.Items, m_defaults))
        AddEntry(entry.Info, entry.Index, entry.Stored);
    m_scroller->show();
    m_scroller->UpdateArrows();
}

void TFavoritesBar::Clear() {
    // The buttons go with their row in one step; the menu entries last first.
    m_scroller->ClearButtons();
    for (const QVector<TEntry>* entries : {&m_storedEntries, &m_defaultEntries}) {
        for (auto it = entries->crbegin(); it != entries->crend(); ++it)
            delete it->MenuEntry;
    }
    m_defaultEntries.clear();
    m_storedEntries.clear();
    m_images.resize(2);
    m_menuButton = nullptr;
}

void TFavoritesBar::AddEntry(const TFavInfo& info, int index, bool stored) {
    QString caption = info.FavName;
    const int width = FitCaption(caption);
    QIcon buttonIcon = m_images.at(0);
    const int imageIndex = LoadImage(info.FavUrl, &buttonIcon);
    if (stored)
        m_favorites.Items[index].ImageIndex = imageIndex;
    const QString number = QString::number(index + 1);

    TEntry entry;
    entry.Button = new QToolButton(m_scroller->Content());
    entry.Button->setObjectName(QStringLiteral("bsSkinSpeedButton") + number);
    entry.Button->setAutoRaise(true);
    entry.Button->setFocusPolicy(Qt::NoFocus);
    entry.Button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    entry.Button->setIcon(buttonIcon);
    entry.Button->setIconSize(QSize(ImageSize - 2, ImageSize - 2));
    entry.Button->setText(caption);
    entry.Button->setFixedSize(width, 23);
    entry.Button->setToolTip(TextFit::PlainToolTip(info.FavName + QLatin1Char('\n') + info.FavUrl));
    entry.Button->setContextMenuPolicy(Qt::CustomContextMenu);
    entry.Button->installEventFilter(this);
    QToolButton* button = entry.Button;
    connect(button, &QToolButton::clicked, this, [this, button] { OpenFavorite(TagOf(button)); });
    connect(button, &QWidget::customContextMenuRequested, this,
            [this, button](const QPoint& pos) { ShowContextMenu(button, pos); });
    m_scroller->InsertButton(m_scroller->ButtonCount(), button);

    entry.MenuEntry = new QAction(m_images.at(imageIndex), caption, m_menu);
    entry.MenuEntry->setObjectName(QStringLiteral("NFavMenu") + number);
    QAction* menuEntry = entry.MenuEntry;
    connect(menuEntry, &QAction::triggered, this, [this, menuEntry] { OpenFavorite(TagOf(menuEntry)); });
    m_menu->addAction(menuEntry);

    SetTag(entry, index);
    (stored ? m_storedEntries : m_defaultEntries).append(entry);
}

int TFavoritesBar::LoadImage(const QString& url, QIcon* buttonIcon) {
    const QString iconFile = m_iconFolder + FavIconFileName(url);
    const QFileInfo file(iconFile);
    if (!file.exists() || file.size() == 0) {
        // An empty file is what a failed fetch leaves: it counts as missing.
        if (m_requestIcon)
            m_requestIcon(url, iconFile);
        return 1;
    }
    const QImage picture = MakeThumbnail(iconFile, QString(), ImageSize, false);
    if (picture.isNull())
        return 1;
    m_images.append(QIcon(QPixmap::fromImage(picture)));
    *buttonIcon = m_images.constLast();
    return m_images.size() - 1;
}

int TFavoritesBar::FitCaption(QString& caption) {
    // Rebuilds show mostly the same names again: each is measured once per font.
    const QFont font = m_host->font();
    if (font != m_captionFont) {
        m_captionFont = font;
        m_fittedCaptions.clear();
    }
    const auto known = m_fittedCaptions.constFind(caption);
    if (known != m_fittedCaptions.constEnd()) {
        caption = known->first;
        return known->second;
    }
    const QString name = caption;
    const int width = TFavoriteEntries::FitCaption(caption, QFontMetrics(font));
    m_fittedCaptions.insert(name, {caption, width});
    return width;
}

void TFavoritesBar::SetTag(const TEntry& entry, int index) {
    entry.Button->setProperty(TagProperty, index);
    entry.MenuEntry->setProperty(TagProperty, index);
}

int TFavoritesBar::TagOf(QObject* control) const {
    return control ? control->property(TagProperty).toInt() : -1;
}

void TFavoritesBar::RenumberEntries() {
    for (int i = 0; i < m_storedEntries.size(); ++i)
        SetTag(m_storedEntries.at(i), i);
    // The defaults' tags count from the number of stored favorites, which a delete changes.
    for (int i = 0; i < m_defaultEntries.size(); ++i)
        SetTag(m_defaultEntries.at(i), m_storedEntries.size() + i);
}

QVector<QToolButton*> TFavoritesBar::Buttons() const {
    QVector<QToolButton*> buttons;
    for (const QVector<TEntry>* entries : {&m_defaultEntries, &m_storedEntries}) {
        for (const TEntry& entry : *entries)
            buttons.append(entry.Button);
    }
    return buttons;
}

QList<QAction*> TFavoritesBar::MenuEntries() const {
    return m_menu->actions().mid(FixedMenuEntries);
}

// ---- Opening -----------------------------------------------------------------------------

void TFavoritesBar::OpenFavorite(int index) {
    if (m_drag.TakeDropped())
        return; // the click of the release that ended a drag
    const QString url = TFavoriteEntries::AddressOfIndex(m_favorites.Items, m_defaults, index);
    if (!url.isEmpty())
        emit openRequested(url);
}

void TFavoritesBar::OpenInNewWindow(int index) {
    const QString url = TFavoriteEntries::AddressOfIndex(m_favorites.Items, m_defaults, index);
    if (!url.isEmpty())
        StartBrowserWindow(url);
}

// ---- Context menu ------------------------------------------------------------------------

void TFavoritesBar::ShowContextMenu(QToolButton* button, const QPoint& localPos) {
    m_menuButton = button;
    const bool stored = TagOf(button) < m_favorites.Items.size();
    for (const char* name : {"NCutUrl", "NDelFav", "NEditFav"})
        m_contextMenu->findChild<QAction*>(QLatin1String(name))->setEnabled(stored);
    m_contextMenu->popup(button->mapToGlobal(localPos));
}

void TFavoritesBar::CopyUrl(int index) {
    const QString url = TFavoriteEntries::AddressOfIndex(m_favorites.Items, m_defaults, index);
    if (!url.isEmpty())
        QGuiApplication::clipboard()->setText(url);
}

void TFavoritesBar::CutUrl(int index) {
    CopyUrl(index);
    DeleteFavorite(index);
}

QVector<int> TFavoritesBar::StoredWithUrl(const QString& url) const {
    QVector<int> positions;
    for (int i = 0; i < m_favorites.Items.size(); ++i) {
        if (m_favorites.Items.at(i).FavUrl == url)
            positions.append(i);
    }
    return positions;
}

void TFavoritesBar::DeleteFavorite(int index) {
    if (index < 0 || index >= m_favorites.Items.size())
        return;
    const QString url = m_favorites.Items.at(index).FavUrl;
    if (!m_favorites.DeleteFavoriteByUrl(url)) {
        MsgBox(tr("删除失败！"), MB_ICONWARNING);
        return;
    }
    // Every stored favorite with this address is gone from the table, so each of them leaves
    // the bar and the menu, not only the one the menu was opened on.
    const QVector<int> positions = StoredWithUrl(url);
    for (auto it = positions.crbegin(); it != positions.crend(); ++it) {
        const TEntry entry = m_storedEntries.takeAt(*it);
        delete entry.Button;
        delete entry.MenuEntry;
        m_favorites.Items.removeAt(*it);
    }
    RenumberEntries();
    m_scroller->UpdateArrows();
}

void TFavoritesBar::EditFavorite(int index) {
    if (index < 0 || index >= m_favorites.Items.size())
        return;
    const TFavInfo info = m_favorites.Items.at(index);
    TFormNewFav dialog(m_favorites, m_host->window());
    dialog.SetName(info.FavName);
    dialog.SetUrl(info.FavUrl);
    dialog.SetOldUrl(info.FavUrl);
    dialog.OkButton()->setText(tr("确定"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The change was made by address: every stored favorite with the old address shows it.
    for (const int position : StoredWithUrl(info.FavUrl)) {
        TFavInfo& item = m_favorites.Items[position];
        item.FavName = dialog.Name();
        item.FavUrl = dialog.Url();
        QString caption = item.FavName;
        const TEntry& entry = m_storedEntries.at(position);
        entry.Button->setFixedWidth(FitCaption(caption));
        entry.Button->setText(caption);
        entry.Button->setToolTip(TextFit::PlainToolTip(item.FavName + QLatin1Char('\n') + item.FavUrl));
        entry.MenuEntry->setText(caption);
    }
    m_scroller->UpdateArrows();
}

// ---- Drag reorder ------------------------------------------------------------------------

bool TFavoritesBar::eventFilter(QObject* watched, QEvent* event) {
    // Every event of every button passes here: the cheap test first.
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseMove || type == QEvent::MouseButtonRelease) {
        if (auto* button = qobject_cast<QToolButton*>(watched))
            DragEvent(button, static_cast<QMouseEvent*>(event));
    }
    return QObject::eventFilter(watched, event);
}

void TFavoritesBar::DragEvent(QToolButton* button, QMouseEvent* mouse) {
    const QEvent::Type type = mouse->type();
    if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
        m_drag.Press(mouse->globalPos());
    } else if (type == QEvent::MouseMove && mouse->buttons() == Qt::LeftButton) {
        const bool stored = TagOf(button) < m_favorites.Items.size();
        if (m_drag.Move(mouse->globalPos(), stored) && !m_cursorOverridden) {
            QApplication::setOverrideCursor(Qt::DragMoveCursor);
            m_cursorOverridden = true;
        }
    } else if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton && m_drag.Release()) {
        if (m_cursorOverridden) {
            QApplication::restoreOverrideCursor();
            m_cursorOverridden = false;
        }
        Drop(button, mouse->globalPos());
    }
}

void TFavoritesBar::Drop(QToolButton* button, const QPoint& globalPos) {
    int from = -1;
    QVector<QRect> targets;
    for (int i = 0; i < m_storedEntries.size(); ++i) {
        QToolButton* target = m_storedEntries.at(i).Button;
        if (target == button)
            from = i;
        targets.append(QRect(target->mapToGlobal(QPoint(0, 0)), target->size()));
    }
    // Buttons scrolled out of sight lie under the arrows and the "收藏" button: only the bar's
    // visible part takes drops.
    QWidget* viewport = m_scroller->Content()->parentWidget();
    if (from < 0 || !QRect(viewport->mapToGlobal(QPoint(0, 0)), viewport->size()).contains(globalPos))
        return;
    const TDropPlace place = TFavoriteDrag::DropPlace(targets, globalPos);
    if (place.Target < 0)
        return;
    MoveStored(from, place);
    // The release's own click (emitted right after this event) opens nothing; a drop whose
    // release produces no click must not swallow a later one, so the mark ends with this event.
    m_drag.SetDropped();
    QTimer::singleShot(0, this, [this] { m_drag.TakeDropped(); });
}

void TFavoritesBar::MoveStored(int from, const TDropPlace& place) {
    const QVector<int> order = TFavoriteDrag::MovedOrder(m_storedEntries.size(), from, place);
    m_storedEntries = TFavoriteDrag::Reordered(m_storedEntries.toList(), order).toVector();
    m_favorites.Items = TFavoriteDrag::Reordered(m_favorites.Items, order);
    const int to = order.indexOf(from);
    QToolButton* moved = m_storedEntries.at(to).Button;
    m_scroller->Content()->layout()->removeWidget(moved);
    m_scroller->InsertButton(m_defaultEntries.size() + to, moved);
    ReorderMenu();
    RenumberEntries();
    QStringList ids;
    for (const TFavInfo& item : m_favorites.Items)
        ids.append(item.Id);
    // A failed batch is not reported: the bar keeps this order until the next rebuild.
    m_favorites.SaveRankings(ids);
}

void TFavoritesBar::ReorderMenu() {
    for (const TEntry& entry : m_storedEntries)
        m_menu->removeAction(entry.MenuEntry);
    for (const TEntry& entry : m_storedEntries)
        m_menu->addAction(entry.MenuEntry);
}
