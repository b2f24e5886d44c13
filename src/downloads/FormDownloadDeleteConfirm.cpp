// TFormDownloadDeleteConfirm: the question shown before the manager deletes a task.
#include "downloads/FormDownloadDeleteConfirm.h"

#include "common/Dialogs.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QLabel>

TFormDownloadDeleteConfirm::TFormDownloadDeleteConfirm(QWidget* parent)
    : QDialog(parent), m_deleteFile(new QCheckBox(tr("同时删除下载的文件"), this)) {
    setObjectName(QStringLiteral("TFormDownloadDeleteConfirm"));
    setWindowTitle(tr("下载文件删除确认"));
    setFixedSize(319, 142);
    auto* title = new QLabel(tr("确定要删除选择的下载任务吗？"), this);
    title->setObjectName(QStringLiteral("bsSkinLabelTitle"));
    m_deleteFile->setObjectName(QStringLiteral("bsSkinCheckRadioBoxDeleteFile"));

    auto* column = new QVBoxLayout(this);
    column->addWidget(title);
    column->addWidget(m_deleteFile);
    column->addStretch(1);
    column->addLayout(OkCancelRow(this));
}

bool TFormDownloadDeleteConfirm::DeleteFile() const {
    return m_deleteFile->isChecked();
}
