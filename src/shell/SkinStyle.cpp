// Skin colours and the main window's style sheet.
#include "shell/SkinStyle.h"

namespace {

const int kSkinColors[TSkinStyle::SkinCount] = {16514043, 12439246, 15720150, 15255774, 14086102,
                                                14606055, 13033215, 15724502, 14606063, 11453891};

QString Css(const QColor& color) {
    return color.name(QColor::HexRgb);
}

} // namespace

int TSkinStyle::SkinColorValue(int index) {
    if (index < 0 || index >= SkinCount)
        index = 0;
    return kSkinColors[index];
}

QColor TSkinStyle::FromDelphiColor(int value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

QColor TSkinStyle::SkinColor(int index) {
    return FromDelphiColor(SkinColorValue(index));
}

QString TSkinStyle::StyleSheet(const QColor& frame) {
    // Every shade is derived from the frame colour so that all ten skins stay consistent; the page
    // area, the address field and the lists stay white for legibility.
    const QColor hover = frame.darker(108);
    const QColor pressed = frame.darker(118);
    const QColor line = frame.darker(125);
    const QString sheet = QStringLiteral(R"(
#TFrameBrowser2, #bsSkinPanelTop, #bsSkinPanelToolbar, #bsSkinPanelExt, #bsSkinPanelBottom,
#bsSkinPanelTitle, #bsSkinPanelLogo, #bsSkinPanelControlBox, #bsSkinPanelMenu, #bsSkinPanelTool,
#bsSkinPanelFav, #bsSkinPanelExtTool, #PanelSearch, #bsSkinPanelOpenUrl, #bsSkinPanelStatus,
#TabStripHost { background: %1; }
#TFormMain { background: %1; border: 1px solid %4; }
#LabelTitle { color: #2b3340; font-size: 13px; }
QToolButton { background: transparent; border: 1px solid transparent; border-radius: 4px; color: #2b3340;
              padding: 0px; }
QToolButton:hover { background: %2; border-color: %4; }
QToolButton:pressed { background: %3; }
QToolButton:disabled { color: #9aa3b0; }
#bsSkinSpeedButtonClose:hover { background: #e5484d; border-color: #d13438; }
#PanelUrl { background: #ffffff; border: 1px solid %4; border-radius: 13px; }
#PanelUrl:focus-within { border-color: #4a90e2; }
#EditUrl, #EditSearch { background: transparent; border: none; color: #1f2630; font-size: 13px;
                        selection-background-color: #b9d6fb; selection-color: #1f2630; }
#PanelSearch { background: #ffffff; border: 1px solid %4; border-radius: 13px; }
#bsSkinMainMenuBar { background: transparent; color: #2b3340; spacing: 0px; font-size: 12px; }
#bsSkinMainMenuBar::item { padding: 2px 5px; border-radius: 4px; background: transparent; }
#bsSkinMainMenuBar::item:selected { background: %2; }
QMenu { background: #ffffff; border: 1px solid %4; padding: 4px 0px; }
QMenu::item { padding: 5px 28px 5px 26px; color: #1f2630; }
QMenu::item:selected { background: #e8f0fe; }
QMenu::item:disabled { color: #9aa3b0; }
QMenu::separator { height: 1px; background: #e3e6ea; margin: 4px 8px; }
#bsSkinListBoxHistory { background: #ffffff; border: 1px solid %4; border-radius: 4px; font-size: 13px;
                        outline: 0; }
#bsSkinListBoxHistory::item { padding: 4px 8px; color: #1f2630; }
#bsSkinListBoxHistory::item:selected { background: #e8f0fe; color: #1f2630; }
#bsSkinPanelBottom { border-top: 1px solid %4; }
#LabelStatus, #LabelScale { color: #4a5565; }
#LabelAd { color: #d4380d; }
#PanelConfirm, #PanelUpdate { background: rgb(253, 233, 217); border-bottom: 1px solid #f0c9a8; }
#PanelConfirm QLabel, #PanelUpdate QLabel { color: #5c3b1e; font-size: 13px; }
QPushButton { background: #ffffff; border: 1px solid #c9ced6; border-radius: 4px; padding: 2px 10px;
              color: #1f2630; }
QPushButton:hover { background: #f2f5f9; border-color: #4a90e2; }
#bsSkinPanelChangeSkin { background: #ffffff; border: 1px solid %4; border-radius: 6px; }
#LabelSkinTitle { color: #1f2630; font-size: 13px; }
#ShapeLine { background: #e3e6ea; }
#bsSkinPanelDangerWebsite { background: rgb(254, 229, 229); border: 1px solid rgb(247, 186, 186);
                            border-radius: 4px; }
#LabelDangerWebsite { color: maroon; }
#bsSkinPanelSafe1, #bsSkinPanelSafe2 { background: rgb(228, 253, 209); border: 1px solid rgb(194, 214, 154); }
#LabelSafeName, #LabelSafe { color: teal; }
#PageHost { background: #ffffff; border-top: 1px solid %4; }
)");
    return sheet.arg(Css(frame), Css(hover), Css(pressed), Css(line));
}
