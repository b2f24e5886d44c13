// TDownloadCenter: from a page's download to a started download and the manager.
#include "downloads/DownloadCenter.h"

#include "common/Dialogs.h"
#include "common/Logging.h"
#include "common/Messages.h"
#include "downloads/DownloadFolder.h"
#include "downloads/DownloadListModel.h"
#include "downloads/DownloadQueue.h"
#include "downloads/FormDownload.h"
#include "downloads/FormDownloadSave.h"
#include "storage/Config.h"

#include <QCoreApplication>
#include <QDialog>
#include <QScopeGuard>

TDownloadCenter::TDownloadCenter(TDownloadQueue& queue, TConfig& config, TSiteBadgeLookup badges,
                                 QWidget* window, std::function<bool()> closing)
    : m_queue(queue), m_config(config), m_badges(std::move(badges)), m_window(window),
      m_closing(std::move(closing)) {}

TDownloadCenter::~TDownloadCenter() {
    delete m_manager.data();
}

void TDownloadCenter::BeforeDownload(const QString& url, const QString& suggestedName, qint64 size) {
    if (m_closing && m_closing())
        return;
    // A double click on a link asks twice: the second request goes to the first one's dialog.
    if (const auto asking = m_asking.constFind(url); asking != m_asking.cend()) {
        if (QDialog* dialog = asking.value()) {
            dialog->raise();
            dialog->activateWindow();
        }
        return;
    }
    if (m_queue.DownloadExists(url))
        return RefuseListed();
    TDownloadInfo info;
    info.Url = url;
    info.FileName = suggestedName;
    info.TotalSize = qMax<qint64>(0, size);
    m_asking.insert(url, nullptr);
    QCoreApplication::postEvent(this, new TRecordMessage<TDownloadInfo>(WM_NEW_DOWNLOAD, info));
}

void TDownloadCenter::customEvent(QEvent* event) {
    if (static_cast<int>(event->type()) != WM_NEW_DOWNLOAD)
        return QObject::customEvent(event);
    if (const auto* message = dynamic_cast<TRecordMessage<TDownloadInfo>*>(event))
        NewDownload(message->Record);
}

void TDownloadCenter::RefuseListed() {
    MsgBox(tr("文件已经在下载任务中！"), MB_ICONINFORMATION);
    emit downloadAnswered();
}

void TDownloadCenter::NewDownload(const TDownloadInfo& info) {
    if (QDialog* open = m_asking.value(info.Url)) {
        open->raise(); // its dialog is open already
        return;
    }
    // The address is being asked about until this handler ends, whichever way it ends.
    m_asking.insert(info.Url, nullptr);
    const auto asked = qScopeGuard([this, &info] { m_asking.remove(info.Url); });
    if (m_closing && m_closing())
        return;
    if (m_queue.DownloadExists(info.Url))
        return RefuseListed();
    TFormDownloadSave dialog(m_queue, info, ProposedDownloadFolder(m_config), m_window);
    m_asking.insert(info.Url, &dialog);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    m_asking.insert(info.Url, nullptr);
    emit downloadAnswered();
    if (!accepted || (m_closing && m_closing()))
        return;
    // Listed meanwhile by another way in: starting it again would point the row at a second file
    // and leave the first one behind.
    if (m_queue.DownloadExists(info.Url))
        return RefuseListed();
    const QString path = dialog.Result();
    // The next dialog proposes this folder, in this run and the next.
    m_config.LastDownloadFolder = FolderOfPath(path);
    m_config.SetValue(TConfigKey::LastDownloadFolder, m_config.LastDownloadFolder);
    m_queue.StartDownload(info.Url, path, info.TotalSize);
    WriteLog(QStringLiteral("Download started: %1 -> %2 (%3 bytes announced)")
                 .arg(info.Url, path, QString::number(info.TotalSize)));
    if (m_manager) {
        TDownloadInfo row = info;
        row.FileName = path;
        row.State = dsDownloading;
        m_manager->AddDownloadRow(row);
    }
}

void TDownloadCenter::ShowManager() {
    // Failed rows are stored as failed, with their reason: the manager reads them like any row.
    if (!m_manager)
        m_manager = new TFormDownload(m_queue, m_config, m_badges, m_window);
    m_manager->show();
    m_manager->raise();
    m_manager->activateWindow();
}

TFormDownload* TDownloadCenter::Manager() const {
    return m_manager;
}
