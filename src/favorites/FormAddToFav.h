// TFormAddToFav, "添加到收藏夹": stores the current page as a favorite under the name the user
// confirms, at the place "本地收藏夹".
#pragma once

#include "favorites/FavDialogBase.h"

class TFormAddToFav final : public TFavDialogBase {
    Q_OBJECT
public:
    // name: proposed in the name edit (the active tab's caption); url: stored as given.
    TFormAddToFav(TFavorites& favorites, const QString& name, const QString& url, QWidget* parent = nullptr);

    QString Name() const;
    QString Url() const { return m_url; }

protected:
    TFavEditResult Save() override;

private:
    QLineEdit* m_name = nullptr;
    QString m_url;
};
