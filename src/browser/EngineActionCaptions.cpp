// Chinese captions for the Chromium engine's own page actions.
#include "browser/EngineActionCaptions.h"

#include "pagecommands/ContextMenuEntries.h"

#include <QAction>
#include <QCoreApplication>
#include <QWebEnginePage>

namespace {
struct TCaption {
    QWebEnginePage::WebAction Action;
    const char* Text;
};

// Access keys follow the engine's menu habits where the browser's menus use them too.
constexpr TCaption kCaptions[] = {
    {QWebEnginePage::Stop, "停止"},
    {QWebEnginePage::Reload, "重新加载"},
    {QWebEnginePage::ReloadAndBypassCache, "强制重新加载"},
    {QWebEnginePage::Cut, "剪切"},
    {QWebEnginePage::Copy, "复制"},
    {QWebEnginePage::Paste, "粘贴"},
    {QWebEnginePage::Undo, "撤销"},
    {QWebEnginePage::Redo, "重做"},
    {QWebEnginePage::SelectAll, "全选"},
    {QWebEnginePage::PasteAndMatchStyle, "粘贴为纯文本"},
    {QWebEnginePage::Unselect, "取消选择"},
    {QWebEnginePage::OpenLinkInThisWindow, "在当前标签中打开链接"},
    {QWebEnginePage::OpenLinkInNewWindow, "在新窗口中打开链接"},
    {QWebEnginePage::OpenLinkInNewTab, "在新标签中打开链接"},
    {QWebEnginePage::OpenLinkInNewBackgroundTab, "在后台标签中打开链接"},
    {QWebEnginePage::CopyLinkToClipboard, "复制链接地址"},
    {QWebEnginePage::DownloadLinkToDisk, "链接另存为..."},
    {QWebEnginePage::CopyImageToClipboard, "复制图片"},
    {QWebEnginePage::CopyImageUrlToClipboard, "复制图片地址"},
    {QWebEnginePage::DownloadImageToDisk, "图片另存为..."},
    {QWebEnginePage::CopyMediaUrlToClipboard, "复制媒体地址"},
    {QWebEnginePage::ToggleMediaControls, "显示控件"},
    {QWebEnginePage::ToggleMediaLoop, "循环播放"},
    {QWebEnginePage::ToggleMediaPlayPause, "播放/暂停"},
    {QWebEnginePage::ToggleMediaMute, "静音"},
    {QWebEnginePage::DownloadMediaToDisk, "媒体另存为..."},
    {QWebEnginePage::InspectElement, "审查元素"},
    {QWebEnginePage::ExitFullScreen, "退出全屏"},
    {QWebEnginePage::RequestClose, "关闭网页"},
    {QWebEnginePage::SavePage, "网页另存为"},
    {QWebEnginePage::ToggleBold, "粗体"},
    {QWebEnginePage::ToggleItalic, "斜体"},
    {QWebEnginePage::ToggleUnderline, "下划线"},
    {QWebEnginePage::ToggleStrikethrough, "删除线"},
    {QWebEnginePage::AlignLeft, "左对齐"},
    {QWebEnginePage::AlignCenter, "居中"},
    {QWebEnginePage::AlignRight, "右对齐"},
    {QWebEnginePage::AlignJustified, "两端对齐"},
    {QWebEnginePage::Indent, "增加缩进"},
    {QWebEnginePage::Outdent, "减少缩进"},
    {QWebEnginePage::InsertOrderedList, "插入编号列表"},
    {QWebEnginePage::InsertUnorderedList, "插入项目符号列表"},
};
} // namespace

void TranslateEngineActions(QWebEnginePage& page) {
    for (const TCaption& caption : kCaptions)
        page.action(caption.Action)->setText(QCoreApplication::translate("TEngineActions", caption.Text));
    page.action(QWebEnginePage::Back)->setText(TContextMenuEntries::BackCaption());
    page.action(QWebEnginePage::Forward)->setText(TContextMenuEntries::ForwardCaption());
    page.action(QWebEnginePage::ViewSource)->setText(TContextMenuEntries::ViewSourceCaption());
}
