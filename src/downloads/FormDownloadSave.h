// TFormDownloadSave: the new-download dialog. It shows the address and size, proposes a file name
// that overwrites nothing in the proposed folder, and answers the full target path.
#pragma once

#include "downloads/DownloadInfo.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class TDownloadQueue;

class TFormDownloadSave final : public QDialog {
    Q_OBJECT
public:
    // info: the engine's address, suggested bare file name and size; folder ends in "/".
    TFormDownloadSave(TDownloadQueue& queue, const TDownloadInfo& info, const QString& folder,
                      QWidget* parent = nullptr);

    // The folder text followed by the file name text (valid after OK).
    QString Result() const { return m_result; }

    // "下载": checks the fields and that the target is free (a file or another listed download
    // there offers the next free name and keeps the dialog open), asks when the folder's disk has
    // less free space than the announced size, then closes with OK.
    void DownloadClick();

    // Why a typed name cannot be used in the folder (a "/", "." or "..", longer than the folder's
    // file system accepts); empty when it can.
    static QString NameProblem(const QString& name, const QString& folder = QString());
    // The longest file name, in bytes of its encoded form, the folder's file system accepts.
    static qint64 NameMaxBytes(const QString& folder);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLayout();
    void SavePathClick();
    // True when the folder's disk has room for the announced size, or the user wants it there anyway.
    bool ConfirmFreeSpace(const QString& folder);
    // The engine's suggestion as a bare file name the folder's file system takes (a long one is
    // shortened before its extension); "" when it names no file of its own.
    static QString CleanFileName(const QString& name, const QString& folder);

    TDownloadQueue& m_queue;
    const QString m_url;
    const qint64 m_totalSize;
    QLineEdit* m_editUrl;
    QLineEdit* m_editFileName;
    QLineEdit* m_editSavePath;
    QLabel* m_labelFileSize;
    QPushButton* m_buttonSavePath;
    QPushButton* m_buttonDownload;
    QPushButton* m_buttonCancel;
    QString m_result;
};
