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
    if (fileName.isEmpty())
        return;
    m_importing = true;
    if (!StartBookmarkImport(*m_favorites, fileName, this, [this](bool imported) { ImportDone(imported); }))
        ImportDone(false);
}

void TFormImportExportFav::ImportDone(bool imported) {
    m_importing = false;
    if (imported) {
        if (m_notify)
            QCoreApplication::postEvent(m_notify, new TMessageEvent(WM_FAVORITES_CHANGED));
        MsgBox(tr("收藏夹导入成功！"), MB_ICONINFORMATION);
        emit importFinished(true);
        close();
    } else {
        MsgBox(tr("收藏夹导入失败！"), MB_ICONWARNING);
        emit importFinished(false);
    }
}

void TFormImportExportFav::ManageClick() {
    if (m_notify)
        QCoreApplication::postEvent(m_notify, new TMessageEvent(WM_MANAGE_FAVORITES));
    close();
}
