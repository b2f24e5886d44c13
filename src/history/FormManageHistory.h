// TFormManageHistory ("浏览历史管理"): the visit history two days at a time, read on a worker;
// stepping to earlier and later windows, deleting one visit or all of history, and opening a
// visit's address in a new tab of the main window (WM_OPEN_URL).
#pragma once

#include "history/HistoryRangeLoader.h"

#include <QDialog>
#include <QHash>
#include <QIcon>
#include <functional>

class QLabel;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class THistory;

class TFormManageHistory final : public QDialog {
    Q_OBJECT
public:
    // mainWindow receives WM_OPEN_URL; onCleared runs after the whole history was cleared (the
    // main window reads its recently closed pages again). The history outlives the window.
    TFormManageHistory(QObject* mainWindow, THistory& history, std::function<void()> onCleared,
                       QWidget* parent = nullptr);
    ~TFormManageHistory() override;

    // The local clock; tests set their own.
    std::function<QDateTime()> Now = [] { return QDateTime::currentDateTime(); };

    const THistoryRange& ShownRange() const { return m_shown; }
    bool Loading() const;
    // The range buttons: "最后", "向后" (two days later), "向前" (two days earlier).
    void LoadLatest();
    void LoadLater();
    void LoadEarlier();
    void DeleteSelected();
    void ClearAll();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    void BuildLayout();
    void StartLoad(const THistoryRange& range, int step = 0);
    void ShowRows(THistoryRangeRows& loaded);
    // Adds the next rows of a shown range; the rest follow on the next turns of the event loop,
    // so the first rows show at once and the window never waits for thousands of them.
    void AddRowBatch();
    void SetLoading(bool loading);
    QIcon IconOf(const QString& url, const QHash<QString, QImage>& loaded);
    void OpenRow(QTreeWidgetItem* item);

    QObject* m_mainWindow;
    THistory& m_history;
    std::function<void()> m_onCleared;
    THistoryRangeLoader m_loader;
    THistoryRange m_shown{THistoryRange::Zero(), THistoryRange::Zero()};
    QHash<QString, QIcon> m_icons; // Md5Hex of an address -> its site icon
    QIcon m_defaultIcon;
    QTreeWidget* m_list = nullptr;
    QWidget* m_panelLoading = nullptr;
    QList<QToolButton*> m_rangeButtons;
    THistoryRangeRows m_pending; // rows of the shown range not yet in the list
    int m_pendingNext = 0;
    bool m_selectFirst = false;
    bool m_shownOnce = false;
};
