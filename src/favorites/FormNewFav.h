// TFormNewFav, "新建收藏夹": adds a favorite, or changes one by its row id (the manager) or by its
// address (the bar's "编辑").
#pragma once

#include "favorites/FavDialogBase.h"

class TFormNewFav final : public TFavDialogBase {
    Q_OBJECT
public:
    explicit TFormNewFav(TFavorites& favorites, QWidget* parent = nullptr);

    // The keys that choose the mode: a row id (change that row), else an old address (change
    // every row with it), else neither (add). After an add, Id() is the new row's id.
    void SetId(const QString& id) { m_id = id; }
    void SetOldUrl(const QString& url) { m_oldUrl = url; }
    QString Id() const { return m_id; }

    void SetName(const QString& name);
    void SetUrl(const QString& url);
    QString Name() const;
    QString Url() const;

protected:
    TFavEditResult Save() override;

private:
    QLineEdit* m_name = nullptr;
    QLineEdit* m_url = nullptr;
    QString m_id;
    QString m_oldUrl;
};
