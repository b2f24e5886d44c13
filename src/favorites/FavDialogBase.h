// The frame both small favorites dialogs share: captioned rows of a label and an edit, the
// buttons "添加" (default) and "取消", and the messages an OK press can end in.
#pragma once

#include "favorites/FavoriteEdit.h"

#include <QDialog>

class QFormLayout;
class QLineEdit;
class QPushButton;
class TFavorites;

class TFavDialogBase : public QDialog {
    Q_OBJECT
public:
    QPushButton* OkButton() const { return m_ok; }

protected:
    TFavDialogBase(TFavorites& favorites, const QString& caption, QWidget* parent);
    // A row "label edit"; the edit is named for the tests and the style sheet.
    QLineEdit* AddEditRow(const QString& label, const char* name);
    // "添加" runs Save(); the dialog closes with OK when it answers Saved.
    virtual TFavEditResult Save() = 0;

    TFavorites& m_favorites;

private:
    void OkClicked();
    // The message of a refused or failed save (information or warning) and the edit to focus.
    void ShowRefusal(TFavEditResult result);

    QFormLayout* m_rows = nullptr;
    QPushButton* m_ok = nullptr;
};
