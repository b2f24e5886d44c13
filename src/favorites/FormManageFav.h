// TFormManageFav, "整理收藏夹": lists the stored favorites and adds, edits, moves and deletes them,
// and opens the import and export window. Changed() tells the opener whether to rebuild the bar.
#pragma once

#include <QDialog>
#include <QIcon>
#include <QVector>

class QToolButton;
class QTreeView;
class TFavoriteListModel;
class TFavorites;

class TFormManageFav final : public QDialog {
    Q_OBJECT
public:
    // images: the favorites bar's image list (the rows show their ImageIndex from it).
    TFormManageFav(TFavorites& favorites, const QVector<QIcon>& images, QWidget* parent = nullptr);
    ~TFormManageFav() override;

    // The manager that is open now, if any (at most one is).
    static TFormManageFav* Instance();

    bool Changed() const { return m_changed; }
    TFavoriteListModel* Model() const { return m_model; }
    QTreeView* List() const { return m_list; }
    // The selected row, -1 without one.
    int CurrentRow() const;

    // The tool bar's commands.
    void NewClick();
    void EditClick();
    void MoveClick(int step);
    void DelClick();
    void ImportExportClick();

protected:
    // WM_FAVORITES_CHANGED from an import started here: the list shows the imported favorites
    // and the bar is rebuilt when the manager closes.
    void customEvent(QEvent* event) override;

private:
    QToolButton* AddToolButton(const char* name, const QString& caption);
    void SelectRow(int row);
    void SaveOrder();

    TFavorites& m_favorites;
    TFavoriteListModel* m_model = nullptr;
    QTreeView* m_list = nullptr;
    bool m_changed = false;
};
