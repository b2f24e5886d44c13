// TFormOption: the options page's sections, its controls and the saving of each key.
#include "options/FormOption.h"

#include "common/AppPaths.h"
#include "common/Dialogs.h"
#include "common/Messages.h"
#include "options/CompatHostList.h"
#include "options/HotKeyEdit.h"
#include "options/OptionRules.h"
#include "options/TabSleepRow.h"
#include "storage/Config.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFormLayout>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>

namespace {

constexpr int kLeftWidth = 150;
constexpr int kLabelHeight = 31;
constexpr int kWheelStep = 25;

struct TShortcutRow {
    const char* Group;
    const char* Action;
    const char* Keys;
};

// The shortcuts the window's input hook handles, for information only.
const TShortcutRow kShortcuts[] = {
    {QT_TRANSLATE_NOOP("TFormOption", "浏览类"), QT_TRANSLATE_NOOP("TFormOption", "弹出地址栏下拉列表"),
     "F4"},
    {"", QT_TRANSLATE_NOOP("TFormOption", "刷新（重新载入）"), "Ctrl + R"},
    {"", QT_TRANSLATE_NOOP("TFormOption", "刷新（重新载入）"), "F5"},
    {"", QT_TRANSLATE_NOOP("TFormOption", "停止"), "Esc"},
    {"", QT_TRANSLATE_NOOP("TFormOption", "全屏显示"), "F11"},
    {"", QT_TRANSLATE_NOOP("TFormOption", "开发人员选项"), "F12"},
    {"", QT_TRANSLATE_NOOP("TFormOption", "查找"), "Ctrl + F"},
    {"", QT_TRANSLATE_NOOP("TFormOption", "页面放大"), "Ctrl + +"},
    {"", QT_TRANSLATE_NOOP("TFormOption", "页面缩小"), "Ctrl + -"},
    {"", QT_TRANSLATE_NOOP("TFormOption", "恢复页面到100%"), "Ctrl + 0"},
    {"", QT_TRANSLATE_NOOP("TFormOption", "选中地址栏"), "Alt + D"},
    {"", QT_TRANSLATE_NOOP("TFormOption", "后退"), "Alt + ←"},
    {"", QT_TRANSLATE_NOOP("TFormOption", "前进"), "Alt + →"},
    {QT_TRANSLATE_NOOP("TFormOption", "标签类"), QT_TRANSLATE_NOOP("TFormOption", "新建主页标签"),
     "Alt + Home"},
    {"", QT_TRANSLATE_NOOP("TFormOption", "打开新窗口"), "Ctrl + N"},
    {"", QT_TRANSLATE_NOOP("TFormOption", "新建标签"), "Ctrl + T"},
    {"", QT_TRANSLATE_NOOP("TFormOption", "关闭当前标签"), "Ctrl + W"},
    {"", QT_TRANSLATE_NOOP("TFormOption", "切换到下一标签"), "Ctrl + Tab"},
    {"", QT_TRANSLATE_NOOP("TFormOption", "切换到上一标签"), "Ctrl + Shift + Tab"},
    {"", QT_TRANSLATE_NOOP("TFormOption", "切换到指定标签"), "Ctrl + 标签索引（0~9）"},
    {QT_TRANSLATE_NOOP("TFormOption", "工具类"), QT_TRANSLATE_NOOP("TFormOption", "添加收藏"), "Ctrl + D"},
    {"", QT_TRANSLATE_NOOP("TFormOption", "显示/隐藏收藏栏"), "Ctrl + B"},
    {"", QT_TRANSLATE_NOOP("TFormOption", "整理收藏夹"), "Ctrl + M"},
    {"", QT_TRANSLATE_NOOP("TFormOption", "浏览历史管理"), "Ctrl + H"},
    {"", QT_TRANSLATE_NOOP("TFormOption", "清除上网痕迹"), "Ctrl + Shift + Delete"},
    {"", QT_TRANSLATE_NOOP("TFormOption", "打开最后关闭标签页"), "Ctrl + Shift + T"},
    {"", QT_TRANSLATE_NOOP("TFormOption", "翻译"), "Alt + T"},
};

QLabel* GroupLabel(QWidget* parent, const QString& caption) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QStringLiteral("OptionGroupLabel"));
    label->setStyleSheet(QStringLiteral("font-weight: bold; color: #1f2630;"));
    return label;
}

QLabel* Note(QWidget* parent, const QString& caption) {
    auto* label = new QLabel(caption, parent);
    label->setStyleSheet(QStringLiteral("color: #7a8494;"));
    return label;
}

QVBoxLayout* PageColumn(QWidget* page) {
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(30, 20, 30, 20);
    column->setSpacing(8);
    return column;
}

} // namespace

TFormOption::TFormOption(QObject* mainWindow, const QString& navigationPage, TConfig& config,
                         TDomainKernel* kernels, QWidget* parent)
    : QWidget(parent), m_mainWindow(mainWindow), m_navigationPage(navigationPage), m_config(config) {
    setObjectName(QStringLiteral("TFormOption"));
    setAttribute(Qt::WA_StyledBackground, true);
    setStyleSheet(QStringLiteral("#TFormOption { background: #ffffff; }"
                                 "#bsSkinPanelLeft { background: #f3f5f8; }"));
    resize(1050, 878);
    PickFolder = [](QWidget* owner, const QString& start) { return SelectFolder(owner, start); };

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    BuildLeftPanel();
    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("bsSkinPageControl1"));
    m_pages->addWidget(BuildBasicPage());
    m_pages->addWidget(BuildDownloadPage());
    m_pages->addWidget(BuildShortcutPage());
    m_pages->addWidget(BuildEnginePage(kernels));
    row->addWidget(findChild<QWidget*>(QStringLiteral("bsSkinPanelLeft")));
    row->addWidget(m_pages, 1);
    FormShow();
    SelectSection(0);
}

void TFormOption::BuildLeftPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("bsSkinPanelLeft"));
    panel->setAttribute(Qt::WA_StyledBackground, true);
    panel->setFixedWidth(kLeftWidth);
    const struct {
        const char* Name;
        QString Caption;
    } sections[] = {{"bsSkinLabelBaseSet", tr("基本设置")},
                    {"bsSkinLabelDownloadSet", tr("下载设置")},
                    {"bsSkinLabelHotKeySet", tr("快捷键设置")},
                    {"bsSkinLabelEngineSet", tr("兼容内核")}};
    int top = 0;
    for (const auto& section : sections) {
        auto* label = new QLabel(section.Caption, panel);
        label->setObjectName(QLatin1String(section.Name));
        label->setGeometry(0, top, kLeftWidth, kLabelHeight);
        label->setAlignment(Qt::AlignCenter);
        label->setCursor(Qt::PointingHandCursor);
        label->setProperty("tag", m_sectionLabels.size());
        label->installEventFilter(this);
        m_sectionLabels.append(label);
        top += kLabelHeight;
    }
    m_buttonSel = new QPushButton(panel);
    m_buttonSel->setObjectName(QStringLiteral("bsSkinButtonSel"));
    m_buttonSel->setStyleSheet(
        QStringLiteral("background: #ffffff; border: none; border-left: 3px solid #2d7be5;"));
}

QCheckBox* TFormOption::CheckBox(QWidget* parent, const char* name, const QString& caption, TConfigKey key) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    m_flagKeys.insert(box, key);
    const auto save = [this, box, key] { StoreFlag(m_config, key, box->isChecked()); };
    connect(box, &QCheckBox::toggled, this, save);
    SaveOnLeave(box, save);
    return box;
}

QRadioButton* TFormOption::Radio(QWidget* parent, const char* name, const QString& caption) {
    auto* radio = new QRadioButton(caption, parent);
    radio->setObjectName(QLatin1String(name));
    return radio;
}

void TFormOption::SaveOnLeave(QWidget* control, std::function<void()> save) {
    m_savers.insert(control, std::move(save));
    control->installEventFilter(this);
}

QWidget* TFormOption::BuildBasicPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("bsSkinTabSheetBase"));
    QVBoxLayout* column = PageColumn(page);

    column->addWidget(GroupLabel(page, tr("启动时打开")));
    m_openExitPage = Radio(page, "bsSkinCheckRadioBoxOpenExitPage", tr("上次退出时未关闭的页面"));
    m_openHome = Radio(page, "bsSkinCheckRadioBoxOpenHome", tr("主页"));
    auto* startGroup = new QButtonGroup(page);
    startGroup->addButton(m_openExitPage);
    startGroup->addButton(m_openHome);
    m_editHome = new QLineEdit(page);
    m_editHome->setObjectName(QStringLiteral("bsSkinEditHome"));
    column->addWidget(m_openExitPage);
    auto* homeRow = new QHBoxLayout;
    homeRow->addWidget(m_openHome);
    homeRow->addWidget(m_editHome, 1);
    column->addLayout(homeRow);
    const auto saveStart = [this] {
        StoreOption(m_config, TConfigKey::StartMode,
                    m_openHome->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    };
    for (QRadioButton* radio : {m_openExitPage, m_openHome}) {
        connect(radio, &QRadioButton::clicked, this, saveStart);
        SaveOnLeave(radio, saveStart);
    }
    SaveOnLeave(m_editHome, [this] { SaveHomePage(); });

    column->addSpacing(12);
    column->addWidget(GroupLabel(page, tr("过滤广告")));
    column->addWidget(
        CheckBox(page, "bsSkinCheckRadioBoxFilterPopupWin", tr("过滤弹出窗口"), TConfigKey::FilterPopups));

    column->addSpacing(12);
    column->addWidget(GroupLabel(page, tr("老板键")));
    column->addWidget(
        CheckBox(page, "bsSkinCheckRadioBoxEnableBossKey", tr("启用老板键"), TConfigKey::BossKeyEnabled));
    m_hotKey = new THotKeyEdit(page);
    m_hotKey->setFixedWidth(200);
    auto* keyRow = new QHBoxLayout;
    keyRow->addWidget(m_hotKey);
    keyRow->addWidget(Note(page, tr("例如：Alt + X")));
    keyRow->addStretch(1);
    column->addLayout(keyRow);
    column->addWidget(Note(page, tr("按下Backspace可以清除老板键设置")));
    SaveOnLeave(m_hotKey, [this] { SaveBossKey(); });

    column->addSpacing(12);
    column->addWidget(GroupLabel(page, tr("默认浏览器")));
    column->addWidget(CheckBox(page, "bsSkinCheckRadioBoxDefaultBrowserCheck", tr("是否默认浏览器"),
                               TConfigKey::MakeDefaultBrowser));

    column->addSpacing(12);
    column->addWidget(GroupLabel(page, tr("标签页")));
    m_tabSleep = new TTabSleepRow(m_config, page);
    column->addWidget(m_tabSleep);

    column->addSpacing(12);
    column->addWidget(GroupLabel(page, tr("翻译")));
    AddTranslateRows(page, column);
    column->addStretch(1);
    return page;
}

void TFormOption::AddTranslateRows(QWidget* page, QVBoxLayout* column) {
    m_editTranslateServer = new QLineEdit(page);
    m_editTranslateServer->setObjectName(QStringLiteral("EditTranslateServer"));
    m_editTranslateServer->setPlaceholderText(QStringLiteral("http://127.0.0.1:5000"));
    m_editTranslateKey = new QLineEdit(page);
    m_editTranslateKey->setObjectName(QStringLiteral("EditTranslateKey"));
    m_editTranslateKey->setEchoMode(QLineEdit::PasswordEchoOnEdit);
    auto* form = new QFormLayout;
    form->addRow(tr("翻译服务地址"), m_editTranslateServer);
    form->addRow(tr("密钥"), m_editTranslateKey);
    column->addLayout(form);
    column->addWidget(Note(page, tr("LibreTranslate 接口的翻译服务器；密钥可不填")));
    const auto save = [this](QLineEdit* edit, TConfigKey key) {
        edit->setText(edit->text().trimmed());
        m_config.SetValue(key, edit->text());
    };
    SaveOnLeave(m_editTranslateServer,
                [this, save] { save(m_editTranslateServer, TConfigKey::TranslateServer); });
    SaveOnLeave(m_editTranslateKey, [this, save] { save(m_editTranslateKey, TConfigKey::TranslateApiKey); });
}

QWidget* TFormOption::BuildDownloadPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("bsSkinTabSheetDownload"));
    QVBoxLayout* column = PageColumn(page);
    column->addWidget(GroupLabel(page, tr("下载设置")));
    column->addWidget(new QLabel(tr("下载内容保存位置"), page));
    m_lastTimePath = Radio(page, "bsSkinCheckRadioBoxLastTimePath", tr("使用上次下载目录"));
    m_savePath = Radio(page, "bsSkinCheckRadioBoxSavePath", tr("设置保存目录"));
    auto* group = new QButtonGroup(page);
    group->addButton(m_lastTimePath);
    group->addButton(m_savePath);
    const auto saveMode = [this] {
        StoreOption(m_config, TConfigKey::DownloadFolderMode,
                    m_savePath->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    };
    for (QRadioButton* radio : {m_lastTimePath, m_savePath}) {
        connect(radio, &QRadioButton::clicked, this, saveMode);
        SaveOnLeave(radio, saveMode);
    }
    column->addWidget(m_lastTimePath);
    column->addWidget(m_savePath);
    m_editDownloadPath = new QLineEdit(page);
    m_editDownloadPath->setObjectName(QStringLiteral("bsSkinEditDownloadPath"));
    m_editDownloadPath->setReadOnly(true); // only the folder button changes the folder
    auto* change = new QPushButton(tr("更改..."), page);
    change->setObjectName(QStringLiteral("bsSkinButtonSetDownloadPath"));
    connect(change, &QPushButton::clicked, this, &TFormOption::ChooseDownloadFolder);
    auto* pathRow = new QHBoxLayout;
    pathRow->addSpacing(20);
    pathRow->addWidget(m_editDownloadPath, 1);
    pathRow->addWidget(change);
    column->addLayout(pathRow);
    column->addSpacing(12);
    column->addWidget(CheckBox(page, "bsSkinCheckRadioBoxDownloadPlaySound", tr("任务下载完后播放提示音"),
                               TConfigKey::PlayFinishedSound));
    column->addWidget(CheckBox(page, "bsSkinCheckRadioBoxDownloadDelPrompt",
                               tr("删除下载任务时，显示删除确认提示"), TConfigKey::ConfirmDeleteDownload));
    column->addStretch(1);
    return page;
}

QWidget* TFormOption::BuildShortcutPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("bsSkinTabSheetHotKey"));
    QVBoxLayout* column = PageColumn(page);
    column->addWidget(CheckBox(page, "bsSkinCheckRadioBoxHotKeyDisable", tr("禁用所有快捷键"),
                               TConfigKey::DisableShortcuts));
    m_shortcutList = new QScrollArea(page);
    m_shortcutList->setObjectName(QStringLiteral("bsSkinScrollBox1"));
    m_shortcutList->setWidgetResizable(true);
    m_shortcutList->setFrameShape(QFrame::NoFrame);
    auto* rows = new QWidget;
    auto* form = new QFormLayout(rows);
    form->setLabelAlignment(Qt::AlignRight);
    for (const TShortcutRow& shortcut : kShortcuts) {
        if (*shortcut.Group)
            form->addRow(GroupLabel(rows, tr(shortcut.Group)));
        auto* keys = new QLineEdit(tr(shortcut.Keys), rows);
        keys->setReadOnly(true);
        keys->setFixedWidth(220);
        form->addRow(tr(shortcut.Action), keys);
    }
    m_shortcutList->setWidget(rows);
    column->addWidget(m_shortcutList, 1);
    return page;
}

QWidget* TFormOption::BuildEnginePage(TDomainKernel* kernels) {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("bsSkinTabSheetEngine"));
    QVBoxLayout* column = PageColumn(page);
    column->addWidget(GroupLabel(page, tr("使用兼容内核的网站")));
    column->addWidget(new TCompatHostList(kernels, page), 1);
    return page;
}

void TFormOption::FormShow() {
    const QSignalBlocker blockStart(m_openHome);
    m_openExitPage->setChecked(m_config.StartMode == 0);
    m_openHome->setChecked(m_config.StartMode == 1);
    m_editHome->setText(ShownHomePage(m_config, m_navigationPage));
    for (auto it = m_flagKeys.cbegin(); it != m_flagKeys.cend(); ++it) {
        const QSignalBlocker block(it.key());
        it.key()->setChecked(FlagOption(m_config, it.value()));
    }
    m_hotKey->SetValue(m_config.BossKey);
    m_lastTimePath->setChecked(m_config.DownloadFolderMode == 0);
    m_savePath->setChecked(m_config.DownloadFolderMode == 1);
    m_editDownloadPath->setText(ShownDownloadFolder(m_config, DefaultDownloadDir()));
    m_editTranslateServer->setText(m_config.GetValue(TConfigKey::TranslateServer));
    m_editTranslateKey->setText(m_config.GetValue(TConfigKey::TranslateApiKey));
    m_tabSleep->ShowStored();
}

void TFormOption::SaveHomePage() {
    const QString home = m_editHome->text().trimmed();
    m_editHome->setText(home);
    StoreOption(m_config, TConfigKey::HomePage, home);
}

void TFormOption::SaveBossKey() {
    StoreOption(m_config, TConfigKey::BossKey, QString::number(m_hotKey->Value()));
    QCoreApplication::postEvent(m_mainWindow, new TMessageEvent(WM_BOSS_KEY_CHANGED));
}

void TFormOption::ChooseDownloadFolder() {
    const QString folder = PickFolder(this, m_editDownloadPath->text());
    if (!folder.isEmpty())
        TakeDownloadFolder(folder);
}

bool TFormOption::TakeDownloadFolder(const QString& folder) {
    if (!IsWritableFolder(folder)) {
        MsgBox(tr("无法在该目录中保存文件，请选择其他目录：\n%1").arg(folder), MB_OK | MB_ICONWARNING);
        return false;
    }
    m_editDownloadPath->setText(folder);
    StoreOption(m_config, TConfigKey::DownloadFolder, folder);
    return true;
}

void TFormOption::SelectSection(int index) {
    QLabel* label = m_sectionLabels.value(index);
    if (!label)
        return;
    m_buttonSel->setGeometry(label->geometry());
    m_buttonSel->setText(label->text());
    m_buttonSel->raise();
    m_pages->setCurrentIndex(index);
}

void TFormOption::SaveFocusedControl() {
    // Moving the focus away sends no focus-out while the window is not active: the control that
    // has the focus saves first, then gives it up.
    if (const auto saver = m_savers.constFind(focusWidget()); saver != m_savers.cend())
        saver.value()();
    m_flushing = true; // saved already: the focus-out that may follow saves nothing
    m_buttonSel->setFocus(Qt::OtherFocusReason);
    m_flushing = false;
}

void TFormOption::ScrollShortcuts(int notches) {
    QScrollBar* bar = m_shortcutList->verticalScrollBar();
    bar->setValue(bar->value() - notches * kWheelStep);
}

void TFormOption::HighlightLabel(QLabel* label) {
    for (QLabel* each : qAsConst(m_sectionLabels)) {
        if (each != label) {
            each->setGraphicsEffect(nullptr);
        } else if (!each->graphicsEffect()) {
            auto* shadow = new QGraphicsDropShadowEffect(each);
            shadow->setBlurRadius(8);
            shadow->setOffset(1, 1);
            each->setGraphicsEffect(shadow);
        }
    }
}

bool TFormOption::eventFilter(QObject* watched, QEvent* event) {
    if (auto* label = qobject_cast<QLabel*>(watched); label && m_sectionLabels.contains(label)) {
        if (event->type() == QEvent::MouseButtonRelease)
            SelectSection(label->property("tag").toInt());
        else if (event->type() == QEvent::Enter)
            HighlightLabel(label);
        else if (event->type() == QEvent::Leave)
            HighlightLabel(nullptr);
    } else if (event->type() == QEvent::FocusOut && !m_flushing) {
        if (const auto saver = m_savers.constFind(watched); saver != m_savers.cend())
            saver.value()();
    }
    return QWidget::eventFilter(watched, event);
}
