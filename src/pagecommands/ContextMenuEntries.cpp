// The entries of the Chromium right-click menu.
#include "pagecommands/ContextMenuEntries.h"

#include <QCoreApplication>

namespace {
QString Tr(const char* text) {
    return QCoreApplication::translate("TContextMenuEntries", text);
}
} // namespace

QVector<TContextMenuEntries::TEntry> TContextMenuEntries::Entries(bool onImage, bool onLink) {
    QVector<TEntry> entries{{Separator, QString()},
                            {Refresh, Tr("刷新")},
                            {SelectAll, Tr("全选")},
                            {Cut, Tr("剪切")},
                            {Copy, Tr("复制")},
                            {Separator, QString()},
                            {AddFavorite, Tr("添加到收藏夹")},
                            {SavePage, Tr("网页另存为")}};
    if (onImage)
        entries << TEntry{Separator, QString()} << TEntry{SavePicture, Tr("图片另存为...")}
                << TEntry{CopyPictureAddress, Tr("复制图片地址")}
                << TEntry{OpenPictureInNewTab, Tr("在新标签中打开图片")};
    if (onLink)
        entries << TEntry{Separator, QString()} << TEntry{CopyLinkAddress, Tr("复制链接地址")};
    entries << TEntry{Separator, QString()} << TEntry{InspectElement, Tr("审查元素")};
    return entries;
}

QString TContextMenuEntries::BackCaption() {
    return Tr("后退(&B)");
}

QString TContextMenuEntries::ForwardCaption() {
    return Tr("前进(&F)");
}

QString TContextMenuEntries::ViewSourceCaption() {
    return Tr("查看网页源代码(&V)");
}
