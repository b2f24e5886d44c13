// The compatibility engine's own texts in Chinese, through a translator of Qt's "QWebPage" texts.
#include "browser/WebControlCaptions.h"

#include "pagecommands/ContextMenuEntries.h"

#include <QCoreApplication>
#include <QHash>
#include <QTranslator>

namespace {
const QHash<QString, QString>& Captions() {
    static const QHash<QString, QString> captions = {
        {"Open Link", "打开链接"},
        {"Open in New Window", "在新窗口中打开链接"},
        {"Save Link...", "链接另存为..."},
        {"Copy Link", "复制链接地址"},
        {"Open Image", "打开图片"},
        {"Save Image", "图片另存为..."},
        {"Copy Image", "复制图片"},
        {"Copy Image Address", "复制图片地址"},
        {"Open Video", "打开视频"},
        {"Open Audio", "打开音频"},
        {"Copy Video Address", "复制视频地址"},
        {"Copy Audio Address", "复制音频地址"},
        {"Show Controls", "显示控件"},
        {"Hide Controls", "隐藏控件"},
        {"Enter Fullscreen", "全屏"},
        {"Play", "播放"},
        {"Pause", "暂停"},
        {"Mute", "静音"},
        {"Unmute", "取消静音"},
        {"Loop", "循环播放"},
        {"Open Frame", "打开框架"},
        {"Copy", "复制"},
        {"Cut", "剪切"},
        {"Paste", "粘贴"},
        {"Paste and Match Style", "粘贴为纯文本"},
        {"Select All", "全选"},
        {"Stop", "停止"},
        {"Reload", "重新加载"},
        {"Inspect", "审查元素"},
        {"No Guesses Found", "无拼写建议"},
        {"Ignore", "忽略"},
        {"Add To Dictionary", "添加到词典"},
        {"Search The Web", "在网上搜索"},
        {"Look Up In Dictionary", "在词典中查找"},
        {"Spelling", "拼写"},
        {"Text Direction", "文字方向"},
        {"Left to Right", "从左到右"},
        {"Right to Left", "从右到左"},
        {"Bold", "粗体"},
        {"Italic", "斜体"},
        {"Underline", "下划线"},
        {"Choose File", "选择文件"},
        {"Choose Files", "选择文件"},
        {"No file selected", "未选择任何文件"},
        {"No files selected", "未选择任何文件"},
        {"Submit", "提交"},
        {"Reset", "重置"},
        {"%1 (%2x%3 pixels)", "%1（%2×%3 像素）"},
    };
    return captions;
}

class TWebControlTranslator final : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        if (qstrcmp(context, "QWebPage") != 0 || !sourceText)
            return QString();
        const QString english = QString::fromUtf8(sourceText);
        if (english == QLatin1String("Go Back"))
            return TContextMenuEntries::BackCaption();
        if (english == QLatin1String("Go Forward"))
            return TContextMenuEntries::ForwardCaption();
        return WebControlCaption(english);
    }
};
} // namespace

QString WebControlCaption(const QString& english) {
    return Captions().value(english);
}

void InstallWebControlCaptions() {
    static TWebControlTranslator* translator = nullptr;
    if (translator || !QCoreApplication::instance())
        return;
    translator = new TWebControlTranslator(QCoreApplication::instance());
    QCoreApplication::installTranslator(translator);
}
