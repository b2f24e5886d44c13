// TDownloadCenter: from a page's download to a started download and the manager.
#include "downloads/DownloadCenter.h"

#include "common/CommonFunc.h"
#include "common/Dialogs.h"
#include "common/Messages.h"
#include "downloads/DownloadFolder.h"
#include "downloads/DownloadListModel.h"
#include "downloads/DownloadQueue.h"
#include "downloads/FormDownload.h"
#include "downloads/FormDownloadSave.h"
#include "storage/Config.h"

#include <QCoreApplication>

TDownloadCenter::TDownloadCenter(TDownloadQueue& queue, TConfig& config, const TDomainAuth* siteIdentity,
                                 QWidget* window, std::function<bool()> closing)
    : m_queue(queue), m_config(config), m_siteIdentity(siteIdentity), m_window(window),
      m_closing(std::move(closing)) {
    connect(&m_queue, &TDownloadQueue::Failed, this, &TDownloadCenter::RememberFailure);
}

TDownloadCenter::~TDownloadCenter() {
    delete m_manager.data();
}

void TDownloadCenter::BeforeDownload(const QString& url, const QString& suggestedName, qint64 size) {
    if (m_closing && m_closing())
        return;
    if (m_queue.DownloadExists(url)) {
        MsgBox(tr("文件已经在下载任务中！"), MB_ICONINFORMATION);
        return;
    }
    TDownloadInfo info;
    info.Url = url;
    info.FileName = suggestedName;
    info.TotalSize = qMax<qint64>(0, size);
    QCoreApplication::postEvent(this, new TRecordMessage<TDownloadInfo>(WM_NEW_DOWNLOAD, info));
}

void TDownloadCenter::customEvent(QEvent* event) {
    if (static_cast<int>(event->type()) != WM_NEW_DOWNLOAD)
        return QObject::customEvent(event);
    if (const auto* message = dynamic_cast<TRecordMessage<TDownloadInfo>*>(event))
        NewDownload(message->Record);
}

void TDownloadCenter::NewDownload(const TDownloadInfo& info) {
    if (m_closing && m_closing())
        return;
    // Two clicks before the first dialog was answered post two messages: the second is refused.
    if (m_queue.DownloadExists(info.Url)) {
        MsgBox(tr("文件已经在下载任务中！"), MB_ICONINFORMATION);
        return;
    }
    TFormDownloadSave dialog(m_queue, info, ProposedDownloadFolder(m_config), m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString path = dialog.Result();
    // The next dialog proposes this folder, in this run and the next.
    m_config.LastDownloadFolder = FolderOfPath(path);
    m_config.SetValue(12, m_config.LastDownloadFolder);
    m_queue.StartDownload(info.Url, path, info.TotalSize);
    m_failures.remove(info.Url);
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
    if (!m_manager) {
        m_manager = new TFormDownload(m_queue, m_config, m_siteIdentity, m_window);
        for (auto failure = m_failures.cbegin(); failure != m_failures.cend(); ++failure)
            m_manager->Model().ShowFailure(failure.key(), failure.value().first, failure.value().second);
    }
    m_manager->show();
    m_manager->raise();
    m_manager->activateWindow();
}

TFormDownload* TDownloadCenter::Manager() const {
    return m_manager;
}

void TDownloadCenter::RememberFailure(const TDownloadInfo& info, const QString& reason) {
    m_failures.insert(info.Url, qMakePair(info, reason));
}
