// The favorite dialog: add, change by id, change by address.
#include "favorites/FormNewFav.h"

#include <QLineEdit>

TFormNewFav::TFormNewFav(TFavorites& favorites, QWidget* parent)
    : TFavDialogBase(favorites, tr("新建收藏夹"), parent) {
    setObjectName(QStringLiteral("TFormNewFav"));
    m_name = AddEditRow(tr("网页标题："), "bsSkinEditWebsiteName");
    m_url = AddEditRow(tr("网页地址："), "bsSkinEditWebsiteUrl");
}

void TFormNewFav::SetName(const QString& name) {
    m_name->setText(name);
}

void TFormNewFav::SetUrl(const QString& url) {
    m_url->setText(url);
}

QString TFormNewFav::Name() const {
    return m_name->text();
}

QString TFormNewFav::Url() const {
    return m_url->text();
}

TFavEditResult TFormNewFav::Save() {
    QString name = m_name->text();
    QString url = m_url->text();
    const TFavEditResult result = TFavoriteEdit::SaveFavorite(m_favorites, m_id, m_oldUrl, name, url);
    m_name->setText(name);
    m_url->setText(url);
    return result;
}
