// The bookmark file import and export window.
#include "favorites/FormImportExportFav.h"

#include "common/Dialogs.h"
#include "common/Messages.h"
#include "favorites/BookmarkFile.h"
#include "favorites/BookmarkImportStart.h"

#include <QBoxLayout>
#include <QCoreApplication>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>

namespace {

QPointer<TFormImportExportFav> OpenWindow;

const QString BookmarkFilter() {
    return QStringLiteral("*.htm;*.html (*.htm *.html)");
}

QString ChooseSaveFile(QWidget* owner) {
    QFileDialog dialog(owner, QString(), QString(), BookmarkFilter());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("html"));
    dialog.setFileMode(QFileDialog::AnyFile); // asks before replacing; the folder must exist
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? dialog.selectedFiles().first()
               : QString();
}

QString ChooseOpenFile(QWidget* owner) {
    return QFileDialog::getOpenFileName(owner, QString(), QString(), BookmarkFilter());
}

} // namespace

TFormImportExportFav::TFormImportExportFav(TFavorites& favorites, QObject* notify, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), m_favorites(&favorites),
      m_notify(notify), m_chooseSaveFile(ChooseSaveFile), m_chooseOpenFile(ChooseOpenFile) {
    setObjectName(QStringLiteral("TFormImportExportFav"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("导入/导出收藏夹"));
    setFixedSize(299, 180);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(40, 24, 40, 16);
    column->setSpacing(12);
    auto* exportButton = new QPushButton(tr("导出至HTML文件"), this);
    exportButton->setObjectName(QStringLiteral("bsSkinButtonExport"));
    auto* importButton = new QPushButton(tr("从HTML文件导入"), this);
    importButton->setObjectName(QStringLiteral("bsSkinButtonImport"));
    for (QPushButton* button : {exportButton, importButton}) {
        button->setMinimumHeight(30);
        column->addWidget(button);
    }
    column->addStretch(1);
    auto* manage = new QLabel(QStringLiteral("<a href=\"#\">%1</a>").arg(tr("整理收藏夹")), this);
    manage->setObjectName(QStringLiteral("LabelManageFav"));
    manage->setAttribute(Qt::WA_TranslucentBackground);
    manage->setAlignment(Qt::AlignRight);
    column->addWidget(manage);
    connect(exportButton, &QPushButton::clicked, this, &TFormImportExportFav::ExportClick);
    connect(importButton, &QPushButton::clicked, this, &TFormImportExportFav::ImportClick);
    connect(manage, &QLabel::linkActivated, this, &TFormImportExportFav::ManageClick);
}

TFormImportExportFav* TFormImportExportFav::ShowWindow(TFavorites& favorites, QObject* notify,
                                                       QWidget* parent) {
    if (!OpenWindow)
        OpenWindow = new TFormImportExportFav(favorites, notify, parent);
    else if (OpenWindow->parentWidget() != parent)
        OpenWindow->setParent(parent, OpenWindow->windowFlags());
    OpenWindow->m_favorites = &favorites;
    OpenWindow->m_notify = notify;
    OpenWindow->show();
    OpenWindow->raise();
    OpenWindow->activateWindow();
    return OpenWindow;
}

TFormImportExportFav* TFormImportExportFav::Instance() {
    return OpenWindow.data();
}

void TFormImportExportFav::ExportClick() {
    const QString fileName = m_chooseSaveFile(this);
    if (fileName.isEmpty())
        return;
    if (ExportFavorites(*m_favorites, fileName)) {
        MsgBox(tr("收藏夹导出成功！"), MB_ICONINFORMATION);
        close();
    } else {
        MsgBox(tr("收藏夹导出失败！"), MB_ICONWARNING);
    }
}

void TFormImportExportFav::ImportClick() {
    // One import at a time: a second file would be read into the same store meanwhile.
    if (m_importing)
        return;
    const QString fileName = m_chooseOpenFile(this);
    if (!fileName.isEmpty())
        StartImport(fileName, TBookmarkImportKind::OwnFile);
}

void TFormImportExportFav::StartImport(const QString& fileName, TBookmarkImportKind kind) {
    m_importing = true;
    const auto done = [this, fileName](const TBookmarkImportAnswer& answer) { ImportDone(fileName, answer); };
    if (!StartBookmarkImport(*m_favorites, fileName, kind, this, done))
        ImportDone(fileName, TBookmarkImportAnswer{kind});
}

void TFormImportExportFav::ImportDone(const QString& fileName, const TBookmarkImportAnswer& answer) {
    m_importing = false;
    // A file without FAV_POS was written by another browser: its links can be taken without
    // the rankings, when the user wants that.
    if (answer.WithoutFavPos &&
        MsgBox(tr("这不是本浏览器导出的收藏文件，是否按通用书签格式导入？"), MB_YESNO | MB_ICONQUESTION) == IDYES) {
        StartImport(fileName, TBookmarkImportKind::AnyBrowser);
        return;
    }
    if (!answer.Imported)
        Finish(false, tr("收藏夹导入失败！"));
    else if (answer.Kind == TBookmarkImportKind::AnyBrowser)
        Finish(true, tr("已导入 %1 个收藏，跳过 %2 个重复或无效的链接。")
                         .arg(answer.Count.Taken)
                         .arg(answer.Count.Skipped));
    else
        Finish(true, tr("收藏夹导入成功！"));
}

void TFormImportExportFav::Finish(bool imported, const QString& message) {
    if (imported) {
        if (m_notify)
            QCoreApplication::postEvent(m_notify, new TMessageEvent(WM_FAVORITES_CHANGED));
        MsgBox(message, MB_ICONINFORMATION);
        emit importFinished(true);
        close();
    } else {
        MsgBox(message, MB_ICONWARNING);
        emit importFinished(false);
    }
}

void TFormImportExportFav::ManageClick() {
    if (m_notify)
        QCoreApplication::postEvent(m_notify, new TMessageEvent(WM_MANAGE_FAVORITES));
    close();
}
