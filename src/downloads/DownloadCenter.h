// TDownloadCenter: the main window's download duties. Pages' downloads arrive here (both engines
// refuse their own), are asked about in the new-download dialog and started in the queue; the
// download manager is opened from here and shown every new download while it is open.
#pragma once

#include "downloads/DownloadInfo.h"
#include "downloads/SiteBadge.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <functional>

class QDialog;
class QWidget;
class TConfig;
class TDownloadQueue;
class TFormDownload;

class TDownloadCenter final : public QObject {
    Q_OBJECT
public:
    // window: the owner of the dialogs; closing tells whether the main window is closing.
    TDownloadCenter(TDownloadQueue& queue, TConfig& config, TSiteBadgeLookup badges, QWidget* window,
                    std::function<bool()> closing);
    // Closes the manager: it must not outlive the queue it listens to.
    ~TDownloadCenter() override;

    // A page's download (size -1 when unknown). A listed address is refused with a message; an
    // address whose dialog is already posted or open (a double click on its link) brings that
    // dialog to the front; otherwise WM_NEW_DOWNLOAD is posted, so that the engine's notice
    // returns at once.
    void BeforeDownload(const QString& url, const QString& suggestedName, qint64 size);
    // The WM_NEW_DOWNLOAD handler: the dialog, then the start in the queue.
    void NewDownload(const TDownloadInfo& info);
    // Creates the manager when none is open, else brings the open one to the front.
    void ShowManager();
    // The open manager, null when none is open.
    TFormDownload* Manager() const;

signals:
    // A page's download was answered: its dialog closed (either way) or it was refused as listed.
    // An address typed into the address bar that turned out to be a download leaves the bar
    // showing it; the window puts the page's own address back.
    void downloadAnswered();

protected:
    void customEvent(QEvent* event) override;

private:
    void RefuseListed();

    TDownloadQueue& m_queue;
    TConfig& m_config;
    const TSiteBadgeLookup m_badges;
    QWidget* const m_window;
    const std::function<bool()> m_closing;
    QPointer<TFormDownload> m_manager;
    // Addresses whose dialog is posted or open, with the open dialog.
    QHash<QString, QPointer<QDialog>> m_asking;
};
