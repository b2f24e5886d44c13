// TFormDownloadSave: the new-download dialog.
#include "downloads/FormDownloadSave.h"

#include "common/Dialogs.h"
#include "common/SizeText.h"
#include "downloads/DownloadFolder.h"
#include "downloads/DownloadQueue.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStorageInfo>
#include <climits>
#include <unistd.h>

namespace {

QLabel* Label(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QLineEdit* Edit(QWidget* parent, const char* name, const QString& text, bool readOnly) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QLatin1String(name));
    edit->setReadOnly(readOnly);
    edit->setCursorPosition(0);
    return edit;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

TFormDownloadSave::TFormDownloadSave(TDownloadQueue& queue, const TDownloadInfo& info, const QString& folder,
                                     QWidget* parent)
    : QDialog(parent), m_queue(queue), m_url(info.Url), m_totalSize(info.TotalSize) {
    setObjectName(QStringLiteral("TFormDownloadSave"));
    setWindowTitle(tr("新建下载任务"));
    const QString proposed = WithTrailingSlash(folder);
    QString name = CleanFileName(info.FileName, proposed);
    if (name.isEmpty())
        name = QStringLiteral("download");
    // The proposal already steps around a file on disk or another listed download's file.
    name = QFileInfo(m_queue.FreeFileNameFor(proposed + name, m_url)).fileName();

    m_editUrl = Edit(this, "bsSkinEditUrl", info.Url, true);
    m_editFileName = Edit(this, "bsSkinEditFileName", name, false);
    m_editSavePath = Edit(this, "bsSkinEditSavePath", proposed, true);
    m_labelFileSize = Label(this, "bsSkinLabelFileSize", FormatSize(qMax<qint64>(0, info.TotalSize)));
    m_labelFileSize->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_buttonSavePath = Button(this, "bsSkinButtonSavePath", tr("浏览"));
    m_buttonDownload = Button(this, "bsSkinButtonDownload", tr("下载"));
    m_buttonDownload->setDefault(true);
    m_buttonCancel = Button(this, "bsSkinButtonCancel", tr("取消"));
    BuildLayout();

    connect(m_buttonDownload, &QPushButton::clicked, this, &TFormDownloadSave::DownloadClick);
    connect(m_buttonCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_buttonSavePath, &QPushButton::clicked, this, &TFormDownloadSave::SavePathClick);
    // Key preview: the edits' keys pass this window first.
    for (QLineEdit* edit : {m_editUrl, m_editFileName, m_editSavePath})
        edit->installEventFilter(this);
    m_editFileName->setFocus();
}

void TFormDownloadSave::BuildLayout() {
    setFixedSize(452, 164);
    auto* grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);
    grid->addWidget(Label(this, "bsSkinLabel1", tr("网址：")), 0, 0);
    grid->addWidget(m_editUrl, 0, 1, 1, 2);
    grid->addWidget(Label(this, "bsSkinLabel2", tr("文件名：")), 1, 0);
    // The size label ends where the address field ends; the name field stops 6 pixels before it.
    auto* nameRow = new QHBoxLayout;
    nameRow->setSpacing(6);
    nameRow->addWidget(m_editFileName, 1);
    nameRow->addWidget(m_labelFileSize);
    grid->addLayout(nameRow, 1, 1, 1, 2);
    grid->addWidget(Label(this, "bsSkinLabel3", tr("下载到：")), 2, 0);
    grid->addWidget(m_editSavePath, 2, 1);
    grid->addWidget(m_buttonSavePath, 2, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_buttonDownload);
    buttons->addWidget(m_buttonCancel);
    grid->addLayout(buttons, 3, 0, 1, 3);
}

QString TFormDownloadSave::CleanFileName(const QString& name, const QString& folder) {
    QString bare = name.trimmed();
    if (bare.contains(QLatin1Char('/')) || bare == QLatin1String(".") || bare == QLatin1String(".."))
        return QString();
    // A suggestion longer than the file system takes loses characters before its extension.
    const qint64 limit = NameMaxBytes(folder);
    const int dot = bare.lastIndexOf(QLatin1Char('.'));
    int cut = (dot > 0 && bare.size() - dot <= 16) ? dot : bare.size();
    while (cut > 1 && QFile::encodeName(bare).size() > limit) {
        const int width = bare.at(cut - 1).isLowSurrogate() && cut > 1 ? 2 : 1;
        bare.remove(cut - width, width);
        cut -= width;
    }
    return bare;
}

QString TFormDownloadSave::NameProblem(const QString& name, const QString& folder) {
    const QString bare = name.trimmed();
    // A "/" would put the file into another folder than the one shown; "." and ".." name folders.
    if (bare.contains(QLatin1Char('/')))
        return tr("文件名不能包含“/”！");
    if (bare == QLatin1String(".") || bare == QLatin1String(".."))
        return tr("文件名不能是“%1”，它表示文件夹！").arg(bare);
    const qint64 limit = NameMaxBytes(folder);
    if (QFile::encodeName(bare).size() > limit)
        return tr("文件名太长！文件系统只接受 %1 字节以内的文件名（一个汉字占 3 字节），请改短一些。")
            .arg(limit);
    return QString();
}

qint64 TFormDownloadSave::NameMaxBytes(const QString& folder) {
    // The limit of the folder's own file system; NAME_MAX when the folder is not there (yet).
    const QByteArray path = QFile::encodeName(folder);
    const long limit = path.isEmpty() ? -1 : ::pathconf(path.constData(), _PC_NAME_MAX);
    return limit > 0 ? limit : NAME_MAX;
}

bool TFormDownloadSave::ConfirmFreeSpace(const QString& folder) {
    // "否" is the default answer: Enter does not start a download that cannot fit.
    constexpr int DefaultToSecondButton = 0x100;
    if (m_totalSize <= 0)
        return true;
    const QStorageInfo disk(folder);
    if (!disk.isValid() || !disk.isReady() || disk.bytesAvailable() >= m_totalSize)
        return true;
    return MsgBox(
               tr("“%1”所在的磁盘只剩 %2 可用空间，而文件大小为 "
                  "%3，下载将因空间不足而失败。\n仍要下载到这里吗？")
                   .arg(folder, FormatSize(qMax<qint64>(0, disk.bytesAvailable())), FormatSize(m_totalSize)),
               MB_YESNO | MB_ICONWARNING | DefaultToSecondButton) == IDYES;
}

void TFormDownloadSave::DownloadClick() {
    const QString typed = m_editFileName->text().trimmed();
    if (typed.isEmpty()) {
        MsgBox(tr("请输入文件名！"), MB_ICONINFORMATION);
        m_editFileName->setFocus();
        return;
    }
    const QString folder = WithTrailingSlash(m_editSavePath->text().trimmed());
    if (const QString problem = NameProblem(typed, folder); !problem.isEmpty()) {
        MsgBox(problem, MB_ICONINFORMATION);
        m_editFileName->setFocus();
        return;
    }
    const QString name = typed;
    if (folder.isEmpty()) {
        MsgBox(tr("请选择下载地址！"), MB_ICONINFORMATION);
        m_editSavePath->setFocus();
        return;
    }
    // The file may have appeared (or another download started there) while the dialog was open:
    // never overwrite it, propose the next free name instead.
    const QString path = folder + name;
    const QString free = m_queue.FreeFileNameFor(path, m_url);
    if (free != path) {
        const QString freeName = QFileInfo(free).fileName();
        m_editFileName->setText(freeName);
        MsgBox(tr("文件“%1”已经存在，已改名为“%2”。").arg(name, freeName), MB_ICONINFORMATION);
        m_editFileName->setFocus();
        return;
    }
    if (!ConfirmFreeSpace(folder)) {
        m_editSavePath->setFocus();
        return;
    }
    m_result = path;
    accept();
}

void TFormDownloadSave::SavePathClick() {
    const QString folder = SelectFolder(this, m_editSavePath->text());
    if (!folder.isEmpty())
        m_editSavePath->setText(folder);
}

bool TFormDownloadSave::eventFilter(QObject* watched, QEvent* event) {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (edit && event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // With only Ctrl held: C copies the whole field, A selects all of it.
        if (key->modifiers() == Qt::ControlModifier && key->key() == Qt::Key_C) {
            QApplication::clipboard()->setText(edit->text());
            return true;
        }
        if (key->modifiers() == Qt::ControlModifier && key->key() == Qt::Key_A) {
            edit->selectAll();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
