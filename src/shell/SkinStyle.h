// The window's skin: the ten frame colours the user picks from and the one style sheet that draws
// every skinned control in the chosen colour.
#pragma once

#include <QColor>
#include <QString>

class TSkinStyle final {
public:
    TSkinStyle() = delete;

    static constexpr int SkinCount = 10;
    // The stored colour values of the squares Shape1..Shape10 (Delphi colours, 0x00BBGGRR).
    static int SkinColorValue(int index);
    // A Delphi colour value (0x00BBGGRR) as a colour: 16514043 is RGB(251, 251, 251).
    static QColor FromDelphiColor(int value);
    // The frame colour of a skin index; indexes outside 0..9 give the first colour.
    static QColor SkinColor(int index);
    // The style sheet of the main window drawn around the frame colour.
    static QString StyleSheet(const QColor& frame);
};
