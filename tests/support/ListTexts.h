// One text member of every item of a list, in order, for comparing what a store returned:
// Texts(favorites, &TFavInfo::FavName).
#pragma once

#include <QStringList>

template <class List, class Item>
QStringList Texts(const List& items, QString Item::*member) {
    QStringList texts;
    for (const Item& item : items)
        texts.append(item.*member);
    return texts;
}
