// TFormDownload: the download manager window.
#include "downloads/FormDownload.h"

#include "common/Dialogs.h"
#include "downloads/DownloadListModel.h"
#include "downloads/DownloadRowDelegate.h"
#include "downloads/FormDownloadDeleteConfirm.h"
#include "storage/Config.h"

#include <QApplication>
#include <QBoxLayout>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QUrl>

namespace {
// Opens a file or folder with the desktop's program for it; without one (no xdg-open) nothing
// would happen at all, so the user is told.
void OpenWithDesktop(const QString& path) {
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        MsgBox(QCoreApplication::translate("TFormDownload", "没有可以打开“%1”的程序（请安装 xdg-utils）。")
                   .arg(path),
               MB_ICONWARNING);
}
} // namespace

TFormDownload::TFormDownload(TDownloadQueue& queue, TConfig& config, TSiteBadgeLookup badges,
                             QWidget* parent)
    : QDialog(parent), m_config(config), m_model(new TDownloadListModel(queue, this)),
      m_grid(new QListView(this)) {
    setObjectName(QStringLiteral("TFormDownload"));
    setWindowTitle(tr("下载"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(644, 612);
    setModal(false);

    m_grid->setObjectName(QStringLiteral("StringGrid1"));
    // Every row has the same height: the view lays out a thousand rows without asking each.
    m_grid->setUniformItemSizes(true);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setMouseTracking(true);
    m_grid->setItemDelegate(new TDownloadRowDelegate(std::move(badges), m_grid));
    m_grid->setModel(m_model);
    m_grid->viewport()->installEventFilter(this);
    if (m_model->rowCount() > 0)
        m_grid->setCurrentIndex(m_model->index(0));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grid);
    BuildMenu();
}

TFormDownload::~TFormDownload() = default;

QAction* TFormDownload::AddMenuItem(const char* name, const QString& caption,
                                    void (TFormDownload::*command)(int)) {
    QAction* item = m_menu->addAction(caption);
    item->setObjectName(QLatin1String(name));
    connect(item, &QAction::triggered, this, [this, command] {
        const int row = SelectedRow();
        if (m_model->IsValidRow(row))
            (this->*command)(row);
    });
    return item;
}

void TFormDownload::BuildMenu() {
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("bsSkinPopupMenu1"));
    AddMenuItem("NStartDownload", tr("开始下载"), &TFormDownload::TogglePause);
    AddMenuItem("NDeleteDownload", tr("删除任务"), &TFormDownload::DeleteRow);
    m_menu->addSeparator();
    AddMenuItem("NReDownload", tr("重新下载"), &TFormDownload::ReDownload);
    AddMenuItem("NCopyDownloadUrl", tr("复制下载地址"), &TFormDownload::CopyUrl);
    m_menu->addSeparator();
    AddMenuItem("NOpenFile", tr("打开文件"), &TFormDownload::OpenFile);
    AddMenuItem("NOpenDirectory", tr("打开所在目录"), &TFormDownload::OpenFolder);
    connect(m_menu, &QMenu::aboutToShow, this, &TFormDownload::UpdateMenu);
}

void TFormDownload::UpdateMenu() {
    const int row = SelectedRow();
    const bool valid = m_model->IsValidRow(row);
    const TDownloadState state = valid ? m_model->Info(row).State : dsPaused;
    auto item = [this](const char* name) { return m_menu->findChild<QAction*>(QLatin1String(name)); };
    item("NStartDownload")->setText(state == dsDownloading ? tr("暂停下载") : tr("开始下载"));
    item("NStartDownload")->setEnabled(valid && state != dsFinished);
    item("NDeleteDownload")->setEnabled(valid);
    item("NReDownload")->setEnabled(valid && state == dsFinished);
    item("NCopyDownloadUrl")->setEnabled(valid);
    item("NOpenFile")->setEnabled(valid && state == dsFinished && !m_model->FileMissing(row));
    item("NOpenDirectory")->setEnabled(valid);
}

int TFormDownload::SelectedRow() const {
    const QModelIndex current = m_grid->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void TFormDownload::AddDownloadRow(const TDownloadInfo& info) {
    m_model->AddDownloadRow(info);
}

void TFormDownload::TogglePause(int row) {
    m_model->TogglePause(row);
}

void TFormDownload::DeleteRow(int row) {
    if (!m_model->IsValidRow(row))
        return;
    // Without the question the file stays on disk.
    bool deleteFile = false;
    if (m_config.ConfirmDeleteDownload) {
        TFormDownloadDeleteConfirm confirm(this);
        if (confirm.exec() != QDialog::Accepted)
            return;
        deleteFile = confirm.DeleteFile();
    }
    m_model->DeleteRow(row, deleteFile);
}

void TFormDownload::ReDownload(int row) {
    if (!m_model->IsValidRow(row) || m_model->Info(row).State == dsPaused)
        return;
    // A file that is gone has nothing left to lose: no question then.
    if (!m_model->FileMissing(row) &&
        MsgBox(tr("重新下载将清除已下载的文件，确定要重新下载吗？"), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    m_model->ReDownload(row);
}

void TFormDownload::OpenFile(int row) {
    if (m_model->IsValidRow(row))
        OpenWithDesktop(m_model->Info(row).FileName);
}

void TFormDownload::OpenFolder(int row) {
    if (m_model->IsValidRow(row))
        OpenWithDesktop(QFileInfo(m_model->Info(row).FileName).path());
}

void TFormDownload::CopyUrl(int row) {
    if (m_model->IsValidRow(row))
        QApplication::clipboard()->setText(m_model->Info(row).Url);
}

void TFormDownload::ClickAt(const QPoint& point) {
    const QModelIndex index = m_grid->indexAt(point);
    const int row = index.row();
    switch (TDownloadRowDelegate::PartAt(m_grid->visualRect(index), index, point)) {
    case TDownloadRowDelegate::rpOpenFile:
        OpenFile(row);
        break;
    case TDownloadRowDelegate::rpOpenFolder:
        OpenFolder(row);
        break;
    case TDownloadRowDelegate::rpPause:
        TogglePause(row);
        break;
    case TDownloadRowDelegate::rpDelete:
        DeleteRow(row);
        break;
    case TDownloadRowDelegate::rpReDownload:
        ReDownload(row);
        break;
    case TDownloadRowDelegate::rpNone:
        break;
    }
}

bool TFormDownload::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_grid->viewport())
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseMove: {
        const QPoint point = static_cast<QMouseEvent*>(event)->pos();
        const QModelIndex index = m_grid->indexAt(point);
        const bool onPart = TDownloadRowDelegate::PartAt(m_grid->visualRect(index), index, point) !=
                            TDownloadRowDelegate::rpNone;
        m_grid->viewport()->setCursor(onPart ? Qt::PointingHandCursor : Qt::ArrowCursor);
        break;
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton)
            ClickAt(mouse->pos());
        break;
    }
    case QEvent::MouseButtonDblClick:
        OpenFile(SelectedRow());
        return true;
    case QEvent::ContextMenu:
        m_menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void TFormDownload::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_model->RefreshMissingFiles();
}

void TFormDownload::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_model->RefreshMissingFiles();
}
