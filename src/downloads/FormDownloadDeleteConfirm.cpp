// TFormDownloadDeleteConfirm: the question shown before the manager deletes a task.
#include "downloads/FormDownloadDeleteConfirm.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

TFormDownloadDeleteConfirm::TFormDownloadDeleteConfirm(QWidget* parent)
    : QDialog(parent), m_deleteFile(new QCheckBox(tr("同时删除下载的文件"), this)) {
    setObjectName(QStringLiteral("TFormDownloadDeleteConfirm"));
    setWindowTitle(tr("下载文件删除确认"));
    setFixedSize(319, 142);
    auto* title = new QLabel(tr("确定要删除选择的下载任务吗？"), this);
    title->setObjectName(QStringLiteral("bsSkinLabelTitle"));
    m_deleteFile->setObjectName(QStringLiteral("bsSkinCheckRadioBoxDeleteFile"));
    auto* ok = new QPushButton(tr("确定"), this);
    ok->setObjectName(QStringLiteral("bsSkinButtonOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr("取消"), this);
    cancel->setObjectName(QStringLiteral("bsSkinButtonCancel"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* column = new QVBoxLayout(this);
    column->addWidget(title);
    column->addWidget(m_deleteFile);
    column->addStretch(1);
    column->addLayout(buttons);
}

bool TFormDownloadDeleteConfirm::DeleteFile() const {
    return m_deleteFile->isChecked();
}
