// TFormDownloadDeleteConfirm: asks before a download task is deleted, and whether its file goes too.
#pragma once

#include <QDialog>

class QCheckBox;

class TFormDownloadDeleteConfirm final : public QDialog {
    Q_OBJECT
public:
    explicit TFormDownloadDeleteConfirm(QWidget* parent = nullptr);
    // "同时删除下载的文件" was ticked.
    bool DeleteFile() const;

private:
    QCheckBox* m_deleteFile;
};
