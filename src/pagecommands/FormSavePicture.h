// The progress window of "图片另存为": shows how much of the picture arrived while a worker saves
// it, and its "取消" button stops the transfer at once. It deletes itself when the transfer ends.
#pragma once

#include <QProgressDialog>

class TPictureDownload;

class TFormSavePicture final : public QProgressDialog {
    Q_OBJECT
public:
    // Starts saving url into fileName; the window appears only when that takes a moment.
    TFormSavePicture(const QString& url, const QString& fileName, QWidget* parent);

signals:
    // The picture could not be saved (not emitted after a cancel).
    void Failed(const QString& error);

private:
    void ShowProgress(qint64 received, qint64 total);

    TPictureDownload* m_download;
};
