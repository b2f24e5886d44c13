// TFormDownload: the download manager window. One owner-drawn row per stored download, following
// the queue's progress, finish and failure; clickable icons and a pop-up menu pause or continue,
// open the file or its folder, delete the task, download again and copy the address.
#pragma once

#include "downloads/DownloadInfo.h"
#include "downloads/SiteBadge.h"

#include <QDialog>

class QAction;
class QListView;
class QMenu;
class TConfig;
class TDownloadListModel;
class TDownloadQueue;

class TFormDownload final : public QDialog {
    Q_OBJECT
public:
    // The window reads the stored downloads now and listens to the queue until it is destroyed.
    // badges may be empty. It deletes itself when closed.
    TFormDownload(TDownloadQueue& queue, TConfig& config, TSiteBadgeLookup badges, QWidget* parent = nullptr);
    ~TFormDownload() override;

    TDownloadListModel& Model() const { return *m_model; }
    // A download started while the window is open.
    void AddDownloadRow(const TDownloadInfo& info);

    // The commands on a row (the menu's and the icons'); nothing for an invalid row.
    void TogglePause(int row);
    // Asks first when TConfigKey::ConfirmDeleteDownload is on; the file is removed only when the
    // question's box was ticked.
    void DeleteRow(int row);
    void ReDownload(int row);
    void OpenFile(int row);
    void OpenFolder(int row);
    void CopyUrl(int row);

    // The selected row, -1 without one.
    int SelectedRow() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Coming back to the window (after deleting a file elsewhere) looks at the files again.
    void changeEvent(QEvent* event) override;

private:
    void BuildMenu();
    void UpdateMenu();
    void ClickAt(const QPoint& point);
    QAction* AddMenuItem(const char* name, const QString& caption, void (TFormDownload::*command)(int));

    TConfig& m_config;
    TDownloadListModel* m_model;
    QListView* m_grid;
    QMenu* m_menu = nullptr;
};
