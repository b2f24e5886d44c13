// The favorites manager window.
#include "favorites/FormManageFav.h"

#include "common/Dialogs.h"
#include "common/Messages.h"
#include "favorites/FavoriteListModel.h"
#include "favorites/Favorites.h"
#include "favorites/FormImportExportFav.h"
#include "favorites/FormNewFav.h"

#include <QBoxLayout>
#include <QFrame>
#include <QHeaderView>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QTreeView>

namespace {
QPointer<TFormManageFav> OpenManager;
} // namespace

TFormManageFav::TFormManageFav(TFavorites& favorites, const QVector<QIcon>& images, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), m_favorites(favorites) {
    setObjectName(QStringLiteral("TFormManageFav"));
    setWindowTitle(tr("整理收藏夹"));
    setModal(true);
    resize(784, 562);
    OpenManager = this;

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* toolBar = new QWidget(this);
    toolBar->setObjectName(QStringLiteral("bsSkinToolBar1"));
    auto* tools = new QHBoxLayout(toolBar);
    tools->setContentsMargins(4, 2, 4, 2);
    column->addWidget(toolBar);
    auto separator = [toolBar, tools] {
        auto* line = new QFrame(toolBar);
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Sunken);
        tools->addWidget(line);
    };
    auto addButton = [this, tools](const char* name, const QString& caption, auto handler) {
        QToolButton* button = AddToolButton(name, caption);
        tools->addWidget(button);
        connect(button, &QToolButton::clicked, this, handler);
    };
    addButton("bsSkinSpeedButtonNew", tr("新建"), [this] { NewClick(); });
    addButton("bsSkinSpeedButtonEdit", tr("编辑"), [this] { EditClick(); });
    separator();
    addButton("bsSkinSpeedButtonDown", tr("下移"), [this] { MoveClick(1); });
    addButton("bsSkinSpeedButtonUp", tr("上移"), [this] { MoveClick(-1); });
    separator();
    addButton("bsSkinSpeedButtonDel", tr("删除"), [this] { DelClick(); });
    separator();
    addButton("bsSkinSpeedButtonImportExport", tr("导入/导出"), [this] { ImportExportClick(); });
    tools->addStretch(1);

    m_model = new TFavoriteListModel(images, this);
    m_model->SetRows(favorites.Items); // the store's list as it is, no reload
    m_list = new QTreeView(this);
    m_list->setObjectName(QStringLiteral("bsSkinListView1"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true); // keeps long lists quick to open
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setIconSize(QSize(18, 18));
    m_list->setModel(m_model);
    m_list->header()->setStretchLastSection(false);
    m_list->setColumnWidth(TFavoriteListModel::ColumnName, 335);
    m_list->setColumnWidth(TFavoriteListModel::ColumnUrl, 450);
    m_list->setColumnHidden(TFavoriteListModel::ColumnId, true);
    column->addWidget(m_list, 1);
    connect(m_list, &QTreeView::doubleClicked, this, [this] { EditClick(); });
}

TFormManageFav::~TFormManageFav() = default;

TFormManageFav* TFormManageFav::Instance() {
    return OpenManager.data();
}

QToolButton* TFormManageFav::AddToolButton(const char* name, const QString& caption) {
    auto* button = new QToolButton(this);
    button->setObjectName(QLatin1String(name));
    button->setText(caption);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

int TFormManageFav::CurrentRow() const {
    const QModelIndexList selected = m_list->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void TFormManageFav::SelectRow(int row) {
    if (row < 0 || row >= m_model->rowCount())
        return;
    const QModelIndex index = m_model->index(row, TFavoriteListModel::ColumnName);
    m_list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
    m_list->scrollTo(index);
}

void TFormManageFav::NewClick() {
    TFormNewFav dialog(m_favorites, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_changed = true;
    TFavInfo row;
    row.Id = dialog.Id();
    row.FavName = dialog.Name();
    row.FavUrl = dialog.Url();
    m_model->AppendRow(row);
    SelectRow(m_model->rowCount() - 1);
}

void TFormManageFav::EditClick() {
    const int row = CurrentRow();
    if (row < 0)
        return;
    const TFavInfo& info = m_model->Rows().at(row);
    TFormNewFav dialog(m_favorites, this);
    dialog.SetName(info.FavName);
    dialog.SetUrl(info.FavUrl);
    dialog.SetId(info.Id);
    dialog.OkButton()->setText(tr("确定"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_changed = true;
    m_model->SetNameAndUrl(row, dialog.Name(), dialog.Url());
}

void TFormManageFav::MoveClick(int step) {
    const int row = CurrentRow();
    if (!m_model->MoveRow(row, step))
        return;
    m_changed = true;
    SelectRow(row + step);
    SaveOrder();
}

void TFormManageFav::SaveOrder() {
    if (!m_favorites.SaveRankings(m_model->Ids()))
        MsgBox(tr("信息保存失败！"), MB_ICONWARNING);
}

void TFormManageFav::DelClick() {
    const int row = CurrentRow();
    if (row < 0)
        return;
    if (!m_favorites.DeleteFavoriteById(m_model->Rows().at(row).Id)) {
        MsgBox(tr("删除失败！"), MB_ICONWARNING);
        return;
    }
    m_changed = true;
    m_model->RemoveRow(row);
    SelectRow(qMin(row, m_model->rowCount() - 1));
}

void TFormManageFav::ImportExportClick() {
    // The window belongs to this modal manager (else it could not be used) and reports its
    // imports here.
    TFormImportExportFav::ShowWindow(m_favorites, this, this);
}

void TFormManageFav::customEvent(QEvent* event) {
    if (static_cast<int>(event->type()) != WM_FAVORITES_CHANGED) {
        QDialog::customEvent(event);
        return;
    }
    m_favorites.LoadFavorites();
    m_model->SetRows(m_favorites.Items);
    m_changed = true;
}
