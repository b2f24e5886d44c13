// The progress window of a picture being saved.
#include "pagecommands/FormSavePicture.h"

#include "pagecommands/PictureDownload.h"

namespace {
constexpr int kShowAfterMs = 500;
constexpr int kSteps = 1000;
} // namespace

TFormSavePicture::TFormSavePicture(const QString& url, const QString& fileName, QWidget* parent)
    : QProgressDialog(parent), m_download(new TPictureDownload(url, fileName, this)) {
    setObjectName(QStringLiteral("FormSavePicture"));
    setWindowTitle(tr("图片另存为"));
    setLabelText(tr("正在保存图片，请稍候……"));
    setCancelButtonText(tr("取消"));
    setModal(false);
    setAutoClose(false);
    setAutoReset(false);
    setRange(0, 0); // the size is unknown until the server states it
    setMinimumDuration(kShowAfterMs);
    connect(this, &QProgressDialog::canceled, m_download, &TPictureDownload::Cancel);
    connect(m_download, &TPictureDownload::Progress, this, &TFormSavePicture::ShowProgress);
    connect(m_download, &TPictureDownload::Saved, this, &QObject::deleteLater);
    connect(m_download, &TPictureDownload::Cancelled, this, &QObject::deleteLater);
    connect(m_download, &TPictureDownload::Failed, this, [this](const QString& error) {
        emit Failed(error);
        deleteLater();
    });
    m_download->Start();
}

void TFormSavePicture::ShowProgress(qint64 received, qint64 total) {
    if (total <= 0 || wasCanceled())
        return;
    setMaximum(kSteps);
    setValue(static_cast<int>(qBound<qint64>(0, received * kSteps / total, kSteps - 1)));
}
