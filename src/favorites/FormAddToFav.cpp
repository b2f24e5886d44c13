// The add-to-favorites dialog.
#include "favorites/FormAddToFav.h"

#include <QLineEdit>

TFormAddToFav::TFormAddToFav(TFavorites& favorites, const QString& name, const QString& url, QWidget* parent)
    : TFavDialogBase(favorites, tr("添加到收藏夹"), parent), m_url(url) {
    setObjectName(QStringLiteral("TFormAddToFav"));
    m_name = AddEditRow(tr("网页标题："), "bsSkinEditWebsiteName");
    m_name->setText(name);
    QLineEdit* path = AddEditRow(tr("创建位置："), "bsSkinEditFavPath");
    path->setText(tr("本地收藏夹"));
    path->setReadOnly(true);
    path->setFocusPolicy(Qt::NoFocus);
}

QString TFormAddToFav::Name() const {
    return m_name->text();
}

TFavEditResult TFormAddToFav::Save() {
    QString name = m_name->text();
    const TFavEditResult result = TFavoriteEdit::AddToFavorites(m_favorites, name, m_url);
    m_name->setText(name);
    return result;
}
