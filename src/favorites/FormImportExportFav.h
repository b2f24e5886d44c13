// TFormImportExportFav, "导入/导出收藏夹": writes the favorites to an HTML bookmark file and reads
// them back from one. Not modal; at most one exists.
#pragma once

#include "favorites/BookmarkImportStart.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class TFavorites;

class TFormImportExportFav final : public QWidget {
    Q_OBJECT
public:
    // Asks for a file name; empty when cancelled.
    using TFileChooser = std::function<QString(QWidget* owner)>;

    // Shows the window, creating it when none exists; an existing one is given the requester's
    // window to notify and store. notify receives WM_FAVORITES_CHANGED after an import and
    // WM_MANAGE_FAVORITES from the label (none: nothing is posted). parent: the window it belongs
    // to (a modal requester must be its parent, or the window could not be used).
    static TFormImportExportFav* ShowWindow(TFavorites& favorites, QObject* notify,
                                            QWidget* parent = nullptr);
    // The window that exists now, if any.
    static TFormImportExportFav* Instance();

    // The file dialogs, replaceable by tests.
    void SetSaveFileChooser(TFileChooser chooser) { m_chooseSaveFile = std::move(chooser); }
    void SetOpenFileChooser(TFileChooser chooser) { m_chooseOpenFile = std::move(chooser); }

    void ExportClick();
    void ImportClick();
    void ManageClick();

signals:
    // An import ended (after its message was shown).
    void importFinished(bool imported);

private:
    TFormImportExportFav(TFavorites& favorites, QObject* notify, QWidget* parent);
    void StartImport(const QString& fileName, TBookmarkImportKind kind);
    void ImportDone(const QString& fileName, const TBookmarkImportAnswer& answer);
    void Finish(bool imported, const QString& message);

    TFavorites* m_favorites;
    QPointer<QObject> m_notify;
    TFileChooser m_chooseSaveFile;
    TFileChooser m_chooseOpenFile;
    bool m_importing = false;
};
