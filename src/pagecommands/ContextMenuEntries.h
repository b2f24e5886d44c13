// The browser's own entries of the Chromium right-click menu: which entries a click gets, in
// which order, with which caption. The engine's view turns them into menu items.
#pragma once

#include <QString>
#include <QVector>

class TContextMenuEntries final {
public:
    // Command ids; Separator is a divider, ViewSource the engine's own view-source entry.
    enum TCommand : int {
        Separator = 0,
        Refresh = 10,
        SelectAll = 11,
        AddFavorite = 12,
        SavePage = 13,
        Cut = 14,
        Copy = 15,
        SavePicture = 16,
        CopyPictureAddress = 17,
        OpenPictureInNewTab = 18,
        InspectElement = 19,
        CopyLinkAddress = 21,
        ViewSource = 132,
    };
    struct TEntry {
        int Id;
        QString Caption;
    };

    // The entries appended to the engine's menu for a click on an image and/or a link.
    static QVector<TEntry> Entries(bool onImage, bool onLink);
    // The engine's entries relabelled: back, forward and view source.
    static QString BackCaption();
    static QString ForwardCaption();
    static QString ViewSourceCaption();
};
