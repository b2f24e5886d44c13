// TFormManageHistory: the list, the tool bar, the range loads and the row commands.
#include "history/FormManageHistory.h"

#include "common/AppPaths.h"
#include "common/Dialogs.h"
#include "common/LoadingSpinner.h"
#include "common/LocalTime.h"
#include "common/Md5.h"
#include "common/Messages.h"
#include "history/History.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCoreApplication>
#include <QFrame>
#include <QHeaderView>
#include <QPixmap>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

namespace {

enum TColumn : int { colTime = 0, colTitle, colUrl, colId };

// Rows added to the list per turn of the event loop.
constexpr int kRowBatch = 200;

QToolButton* ToolButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setText(caption);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QFrame* Separator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

TFormManageHistory::TFormManageHistory(QObject* mainWindow, THistory& history,
                                       std::function<void()> onCleared, QWidget* parent)
    : QDialog(parent), m_mainWindow(mainWindow), m_history(history), m_onCleared(std::move(onCleared)),
      m_loader(history, this, UserDataDir()) {
    setObjectName(QStringLiteral("TFormManageHistory"));
    setWindowTitle(tr("浏览历史管理"));
    m_defaultIcon = style()->standardIcon(QStyle::SP_FileIcon);
    BuildLayout();
    resize(984, 662);
}

TFormManageHistory::~TFormManageHistory() = default;

void TFormManageHistory::BuildLayout() {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("bsSkinToolBar1"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(6, 3, 6, 3);
    QToolButton* del = ToolButton(bar, "bsSkinSpeedButtonDel", tr("删除"));
    QToolButton* clear = ToolButton(bar, "bsSkinSpeedClear", tr("全部删除"));
    QToolButton* latest = ToolButton(bar, "bsSkinSpeedButtonLastest", tr("最后"));
    QToolButton* later = ToolButton(bar, "bsSkinSpeedButtonBack", tr("向后"));
    QToolButton* earlier = ToolButton(bar, "bsSkinSpeedButtonForward", tr("向前"));
    row->addWidget(del);
    row->addWidget(Separator(bar));
    row->addWidget(clear);
    row->addWidget(Separator(bar));
    for (QToolButton* button : {latest, later, earlier})
        row->addWidget(button);
    row->addStretch(1);
    column->addWidget(bar);
    m_rangeButtons = {latest, later, earlier};
    connect(del, &QToolButton::clicked, this, &TFormManageHistory::DeleteSelected);
    connect(clear, &QToolButton::clicked, this, &TFormManageHistory::ClearAll);
    connect(latest, &QToolButton::clicked, this, &TFormManageHistory::LoadLatest);
    connect(later, &QToolButton::clicked, this, &TFormManageHistory::LoadLater);
    connect(earlier, &QToolButton::clicked, this, &TFormManageHistory::LoadEarlier);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("bsSkinListView1"));
    m_list->setColumnCount(4);
    m_list->setHeaderLabels({tr("时间"), tr("标题"), tr("网址"), QStringLiteral("id")});
    // The headers show, so that each column can be widened by dragging its edge.
    m_list->header()->setStretchLastSection(false);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setIconSize(QSize(16, 16));
    // The time column fits a whole time, whatever the font: icon, text, margins.
    m_list->setColumnWidth(colTime, m_list->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00 00:00")) +
                                        m_list->iconSize().width() + 4 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 16);
    m_list->setColumnWidth(colTitle, 540);
    m_list->setColumnWidth(colUrl, 340);
    m_list->setColumnHidden(colId, true);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &TFormManageHistory::OpenRow);
    // The Delete key deletes the selected visit, as "删除" does.
    auto* deleteKey = new QShortcut(QKeySequence::Delete, m_list, nullptr, nullptr, Qt::WidgetShortcut);
    connect(deleteKey, &QShortcut::activated, this, &TFormManageHistory::DeleteSelected);
    column->addWidget(m_list, 1);

    m_panelLoading = new QWidget(this);
    m_panelLoading->setObjectName(QStringLiteral("PanelLoading"));
    m_panelLoading->setFixedSize(16, 16);
    auto* spinner = new TLoadingSpinner(m_panelLoading);
    spinner->setObjectName(QStringLiteral("ImageLoading"));
    spinner->setGeometry(0, 0, 16, 16);
    m_panelLoading->hide();
}

void TFormManageHistory::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        LoadLatest();
    }
}

void TFormManageHistory::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    m_panelLoading->move((width() - m_panelLoading->width()) / 2, 168);
}

bool TFormManageHistory::Loading() const {
    return m_panelLoading->isVisible() || m_loader.Busy();
}

void TFormManageHistory::LoadLatest() {
    StartLoad(THistoryRange::Latest(Now()));
}

void TFormManageHistory::LoadLater() {
    StartLoad(m_shown.Shifted(2), 1);
}

void TFormManageHistory::LoadEarlier() {
    StartLoad(m_shown.Shifted(-2), -1);
}

void TFormManageHistory::StartLoad(const THistoryRange& range, int step) {
    if (!m_loader.Load(range, step))
        return;
    SetLoading(true);
}

void TFormManageHistory::SetLoading(bool loading) {
    m_panelLoading->setVisible(loading);
    if (loading)
        m_panelLoading->raise();
    if (auto* spinner = m_panelLoading->findChild<TLoadingSpinner*>())
        spinner->SetRunning(loading);
    for (QToolButton* button : qAsConst(m_rangeButtons))
        button->setEnabled(!loading);
}

void TFormManageHistory::customEvent(QEvent* event) {
    if (static_cast<int>(event->type()) != WM_HISTORY_LOADED) {
        QDialog::customEvent(event);
        return;
    }
    if (auto* message = dynamic_cast<TRecordMessage<THistoryRangeRows>*>(event))
        ShowRows(message->Record);
    if (m_pendingNext >= m_pending.Rows.size())
        SetLoading(false);
}

void TFormManageHistory::ShowRows(THistoryRangeRows& loaded) {
    // An empty window changes nothing: the list and the shown range stay.
    if (loaded.Rows.isEmpty())
        return;
    m_list->clear();
    m_shown = loaded.Range;
    m_selectFirst = true;
    m_pending = std::move(loaded);
    m_pendingNext = 0;
    AddRowBatch();
}

void TFormManageHistory::AddRowBatch() {
    const int end = qMin(m_pendingNext + kRowBatch, m_pending.Rows.size());
    QList<QTreeWidgetItem*> items;
    items.reserve(end - m_pendingNext);
    for (; m_pendingNext < end; ++m_pendingNext) {
        const THistoryInfo& row = m_pending.Rows.at(m_pendingNext);
        auto* item = new QTreeWidgetItem(
            {UnixTimeToDateTime(row.CreateTime).toString(QStringLiteral("yyyy-MM-dd hh:mm")), row.SiteName,
             row.SiteUrl, row.Id});
        item->setIcon(colTime, IconOf(row.SiteUrl, m_pending.Icons));
        items.append(item);
    }
    m_list->addTopLevelItems(items);
    if (m_selectFirst && m_list->topLevelItemCount() > 0) {
        // The newest visit is selected, so the keyboard can work on the list at once.
        m_selectFirst = false;
        m_list->setCurrentItem(m_list->topLevelItem(0));
        m_list->setFocus();
    }
    if (m_pendingNext < m_pending.Rows.size()) {
        QTimer::singleShot(0, this, &TFormManageHistory::AddRowBatch);
        return;
    }
    m_pending = {};
    m_pendingNext = 0;
    SetLoading(false);
}

QIcon TFormManageHistory::IconOf(const QString& url, const QHash<QString, QImage>& loaded) {
    const QString key = Md5Hex(url);
    if (const auto known = m_icons.constFind(key); known != m_icons.cend())
        return known.value();
    const auto image = loaded.constFind(key);
    if (image == loaded.cend())
        return m_defaultIcon;
    const QIcon icon(QPixmap::fromImage(image.value()));
    m_icons.insert(key, icon);
    return icon;
}

void TFormManageHistory::DeleteSelected() {
    QTreeWidgetItem* item = m_list->currentItem();
    if (!item || !item->isSelected())
        return;
    if (!m_history.DeleteHistoryItem(item->text(colId))) {
        MsgBox(tr("删除失败！"), MB_OK | MB_ICONWARNING);
        return;
    }
    const int index = m_list->indexOfTopLevelItem(item);
    delete item;
    const int count = m_list->topLevelItemCount();
    if (count > 0) {
        QTreeWidgetItem* next = m_list->topLevelItem(qMin(index, count - 1));
        m_list->setCurrentItem(next);
        next->setSelected(true);
    }
}

void TFormManageHistory::ClearAll() {
    if (MsgBox(tr("确定要全部删除吗？"), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    // History, its search index and the page log go in one transaction; a failure leaves all.
    if (!m_history.ClearAllHistory()) {
        MsgBox(tr("删除失败！"), MB_OK | MB_ICONWARNING);
        return;
    }
    m_list->clear();
    m_pending = {};
    m_pendingNext = 0;
    if (m_onCleared)
        m_onCleared();
}

void TFormManageHistory::OpenRow(QTreeWidgetItem* item) {
    if (item && m_mainWindow)
        QCoreApplication::postEvent(m_mainWindow,
                                    new TRecordMessage<QString>(WM_OPEN_URL, item->text(colUrl), 0));
}
