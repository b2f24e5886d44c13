// The main window's controls: title row, tool bar, tools row, tab strip host, status bar, the
// floating panels and the main menu. Sizes follow the window's design; layouts keep its anchoring
// (search, go button, tools and status buttons at the right edge; address, favorites bar and
// status line stretch).
#include "shell/FormMain.h"

#include "browser/TabController.h"
#include "navigation/AddressEdit.h"
#include "navigation/SuggestionList.h"
#include "shell/FormMainUi.h"
#include "shell/Icons.h"
#include "shell/SkinStyle.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace {

QWidget* Panel(QWidget* parent, const char* name) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setAttribute(Qt::WA_StyledBackground, true);
    return panel;
}

QHBoxLayout* Row(QWidget* panel, int left = 0, int top = 0, int right = 0, int bottom = 0, int spacing = 0) {
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(left, top, right, bottom);
    layout->setSpacing(spacing);
    return layout;
}

QToolButton* Button(QWidget* parent, const char* name, const QString& hint, const QString& icon,
                    const QSize& size, const QString& caption = QString()) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(hint);
    button->setFixedSize(size);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    if (!icon.isEmpty()) {
        button->setIcon(AppIcon(icon));
        const int side = qMin(size.height() - 6, 18);
        button->setIconSize(QSize(side, side));
    }
    if (!caption.isEmpty()) {
        button->setText(caption);
        button->setToolButtonStyle(icon.isEmpty() ? Qt::ToolButtonTextOnly : Qt::ToolButtonTextBesideIcon);
    }
    return button;
}

QLabel* Label(QWidget* parent, const char* name, const QString& caption = QString()) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

} // namespace

void TFormMain::BuildLayout() {
    TFormMainUi& ui = *m_ui;
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(1, 1, 1, 1);
    outer->setSpacing(0);

    ui.TFrameBrowser2 = Panel(this, "TFrameBrowser2");
    outer->addWidget(ui.TFrameBrowser2, 1);
    auto* frame = new QVBoxLayout(ui.TFrameBrowser2);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->setSpacing(0);

    // Title row: logo at the left; title and caption buttons above the tool bar.
    ui.bsSkinPanelTop = Panel(ui.TFrameBrowser2, "bsSkinPanelTop");
    ui.bsSkinPanelTop->setFixedHeight(55);
    frame->addWidget(ui.bsSkinPanelTop);
    QHBoxLayout* top = Row(ui.bsSkinPanelTop);
    ui.bsSkinPanelLogo = Panel(ui.bsSkinPanelTop, "bsSkinPanelLogo");
    ui.bsSkinPanelLogo->setFixedWidth(56);
    ui.ImageLogo = Label(ui.bsSkinPanelLogo, "ImageLogo");
    ui.ImageLogo->setGeometry(4, 4, 48, 48);
    ui.ImageLogo->setPixmap(IconPixmap(QStringLiteral("logo"), QSize(44, 44)));
    ui.ImageLogo->setAlignment(Qt::AlignCenter);
    top->addWidget(ui.bsSkinPanelLogo);
    auto* rest = new QWidget(ui.bsSkinPanelTop);
    top->addWidget(rest, 1);
    auto* restColumn = new QVBoxLayout(rest);
    restColumn->setContentsMargins(0, 0, 0, 0);
    restColumn->setSpacing(0);

    ui.bsSkinPanelTitle = Panel(rest, "bsSkinPanelTitle");
    ui.bsSkinPanelTitle->setFixedHeight(30);
    restColumn->addWidget(ui.bsSkinPanelTitle);
    QHBoxLayout* title = Row(ui.bsSkinPanelTitle, 8, 0, 0, 0);
    ui.LabelTitle = Label(ui.bsSkinPanelTitle, "LabelTitle");
    ui.LabelTitle->setTextFormat(Qt::PlainText); // the page's title
    title->addWidget(ui.LabelTitle, 1);
    ui.bsSkinPanelMenu = Panel(ui.bsSkinPanelTitle, "bsSkinPanelMenu");
    ui.bsSkinPanelMenu->setFixedWidth(185);
    QHBoxLayout* menuRow = Row(ui.bsSkinPanelMenu, 0, 4, 0, 4);
    ui.bsSkinMainMenuBar = new QMenuBar(ui.bsSkinPanelMenu);
    ui.bsSkinMainMenuBar->setObjectName(QStringLiteral("bsSkinMainMenuBar"));
    ui.bsSkinMainMenuBar->setFixedHeight(22);
    ui.bsSkinMainMenuBar->setNativeMenuBar(false);
    menuRow->addStretch(1);
    menuRow->addWidget(ui.bsSkinMainMenuBar);
    title->addWidget(ui.bsSkinPanelMenu);
    ui.bsSkinPanelControlBox = Panel(ui.bsSkinPanelTitle, "bsSkinPanelControlBox");
    ui.bsSkinPanelControlBox->setFixedWidth(104);
    QHBoxLayout* box = Row(ui.bsSkinPanelControlBox, 1, 3, 2, 3, 1);
    const QSize caption(24, 24);
    ui.bsSkinSpeedButtonChangeSkin = Button(ui.bsSkinPanelControlBox, "bsSkinSpeedButtonChangeSkin",
                                            tr("换肤"), QStringLiteral("skin"), caption);
    ui.bsSkinSpeedButtonMin = Button(ui.bsSkinPanelControlBox, "bsSkinSpeedButtonMin", tr("最小化"),
                                     QStringLiteral("min"), caption);
    ui.bsSkinSpeedButtonMax = Button(ui.bsSkinPanelControlBox, "bsSkinSpeedButtonMax", tr("最大化"),
                                     QStringLiteral("max"), caption);
    ui.bsSkinSpeedButtonRestore = Button(ui.bsSkinPanelControlBox, "bsSkinSpeedButtonRestore", tr("恢复"),
                                         QStringLiteral("restore"), caption);
    ui.bsSkinSpeedButtonClose = Button(ui.bsSkinPanelControlBox, "bsSkinSpeedButtonClose", tr("关闭"),
                                       QStringLiteral("close"), caption);
    for (QToolButton* button :
         {ui.bsSkinSpeedButtonChangeSkin, ui.bsSkinSpeedButtonMin, ui.bsSkinSpeedButtonMax,
          ui.bsSkinSpeedButtonRestore, ui.bsSkinSpeedButtonClose})
        box->addWidget(button);
    ui.bsSkinSpeedButtonMax->hide(); // maximise and restore share a place; the window starts maximised
    title->addWidget(ui.bsSkinPanelControlBox);

    // Tool bar: navigation buttons, badges, address field, go button, search box.
    ui.bsSkinPanelToolbar = Panel(rest, "bsSkinPanelToolbar");
    ui.bsSkinPanelToolbar->setFixedHeight(25);
    restColumn->addWidget(ui.bsSkinPanelToolbar);
    QHBoxLayout* toolbar = Row(ui.bsSkinPanelToolbar, 0, 0, 6, 0, 4);
    ui.bsSkinPanelTool = Panel(ui.bsSkinPanelToolbar, "bsSkinPanelTool");
    ui.bsSkinPanelTool->setFixedWidth(102);
    QHBoxLayout* nav = Row(ui.bsSkinPanelTool, 1, 0, 0, 0, 1);
    ui.bsSkinSpeedButtonBack =
        Button(ui.bsSkinPanelTool, "bsSkinSpeedButtonBack", tr("后退"), QStringLiteral("back"), caption);
    ui.bsSkinSpeedButtonForward = Button(ui.bsSkinPanelTool, "bsSkinSpeedButtonForward", tr("前进"),
                                         QStringLiteral("forward"), caption);
    ui.bsSkinSpeedButtonRefresh = Button(ui.bsSkinPanelTool, "bsSkinSpeedButtonRefresh", tr("刷新"),
                                         QStringLiteral("refresh"), caption);
    ui.bsSkinSpeedButtonStop =
        Button(ui.bsSkinPanelTool, "bsSkinSpeedButtonStop", tr("停止"), QStringLiteral("stop"), caption);
    ui.bsSkinSpeedButtonHome =
        Button(ui.bsSkinPanelTool, "bsSkinSpeedButtonHome", tr("访问主页"), QStringLiteral("home"), caption);
    for (QToolButton* button :
         {ui.bsSkinSpeedButtonBack, ui.bsSkinSpeedButtonForward, ui.bsSkinSpeedButtonRefresh,
          ui.bsSkinSpeedButtonStop, ui.bsSkinSpeedButtonHome})
        nav->addWidget(button);
    nav->addStretch(1);
    ui.bsSkinSpeedButtonStop->hide(); // refresh and stop share a place
    toolbar->addWidget(ui.bsSkinPanelTool);

    // Site badges: flagged (red) and certified (green name part + "安全 ").
    ui.bsSkinPanelDangerWebsite = Panel(ui.bsSkinPanelToolbar, "bsSkinPanelDangerWebsite");
    ui.bsSkinPanelDangerWebsite->setFixedSize(61, 25);
    ui.LabelDangerWebsite = Label(ui.bsSkinPanelDangerWebsite, "LabelDangerWebsite", tr("危险网站"));
    ui.LabelDangerWebsite->setAlignment(Qt::AlignCenter);
    Row(ui.bsSkinPanelDangerWebsite)->addWidget(ui.LabelDangerWebsite);
    toolbar->addWidget(ui.bsSkinPanelDangerWebsite);
    ui.bsSkinPanelSafe = Panel(ui.bsSkinPanelToolbar, "bsSkinPanelSafe");
    ui.bsSkinPanelSafe->setFixedSize(134, 25);
    QHBoxLayout* safe = Row(ui.bsSkinPanelSafe);
    ui.bsSkinPanelSafe1 = Panel(ui.bsSkinPanelSafe, "bsSkinPanelSafe1");
    ui.bsSkinPanelSafe1->setFixedWidth(78);
    ui.LabelSafeName = Label(ui.bsSkinPanelSafe1, "LabelSafeName");
    ui.LabelSafeName->setAlignment(Qt::AlignCenter);
    ui.LabelSafeName->setCursor(Qt::PointingHandCursor);
    Row(ui.bsSkinPanelSafe1)->addWidget(ui.LabelSafeName);
    ui.bsSkinPanelSafe2 = Panel(ui.bsSkinPanelSafe, "bsSkinPanelSafe2");
    ui.bsSkinPanelSafe2->setFixedWidth(54);
    ui.ImageSafeIcon = Label(ui.bsSkinPanelSafe2, "ImageSafeIcon");
    ui.ImageSafeIcon->setPixmap(IconPixmap(QStringLiteral("badge-safe"), QSize(16, 16)));
    ui.LabelSafe = Label(ui.bsSkinPanelSafe2, "LabelSafe", tr("安全 "));
    ui.LabelSafe->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ui.LabelSafe->setCursor(Qt::PointingHandCursor);
    QHBoxLayout* safe2 = Row(ui.bsSkinPanelSafe2, 5, 0, 0, 0);
    safe2->addWidget(ui.ImageSafeIcon);
    safe2->addWidget(ui.LabelSafe, 1);
    safe->addWidget(ui.bsSkinPanelSafe1);
    safe->addWidget(ui.bsSkinPanelSafe2);
    toolbar->addWidget(ui.bsSkinPanelSafe);

    ui.bsSkinPanelRight = Panel(ui.bsSkinPanelToolbar, "bsSkinPanelRight");
    toolbar->addWidget(ui.bsSkinPanelRight, 1);
    QHBoxLayout* right = Row(ui.bsSkinPanelRight, 0, 0, 0, 0, 4);
    ui.PanelUrl = Panel(ui.bsSkinPanelRight, "PanelUrl");
    QHBoxLayout* url = Row(ui.PanelUrl, 6, 0, 6, 0, 3);
    ui.ImageUrl = Label(ui.PanelUrl, "ImageUrl");
    ui.ImageUrl->setFixedSize(16, 16);
    ui.EditUrl = new TAddressEdit(ui.PanelUrl);
    ui.EditUrl->setMinimumWidth(120);
    const QSize small(18, 18);
    ui.ImageSafe = Button(ui.PanelUrl, "ImageSafe", tr("安全认证"), QStringLiteral("badge-safe"), small);
    ui.ImageFavAdd = Button(ui.PanelUrl, "ImageFavAdd", tr("添加到收藏夹"), QStringLiteral("fav-add"), small);
    ui.ImageKernel =
        Button(ui.PanelUrl, "ImageKernel", tr("Chrome内核"), QStringLiteral("kernel-chromium"), small);
    for (QToolButton* image : {ui.ImageSafe, ui.ImageFavAdd, ui.ImageKernel})
        image->setIconSize(QSize(16, 16));
    url->addWidget(ui.ImageUrl);
    url->addWidget(ui.EditUrl, 1);
    url->addWidget(ui.ImageSafe);
    url->addWidget(ui.ImageFavAdd);
    url->addWidget(ui.ImageKernel);
    right->addWidget(ui.PanelUrl, 1);
    ui.bsSkinPanelOpenUrl = Panel(ui.bsSkinPanelRight, "bsSkinPanelOpenUrl");
    ui.bsSkinPanelOpenUrl->setFixedWidth(23);
    ui.bsSkinSpeedButtonOpenUrl = Button(ui.bsSkinPanelOpenUrl, "bsSkinSpeedButtonOpenUrl", tr("打开网址"),
                                         QStringLiteral("go"), QSize(23, 24));
    Row(ui.bsSkinPanelOpenUrl)->addWidget(ui.bsSkinSpeedButtonOpenUrl);
    right->addWidget(ui.bsSkinPanelOpenUrl);
    ui.PanelSearch = Panel(ui.bsSkinPanelRight, "PanelSearch");
    ui.PanelSearch->setFixedWidth(260);
    QHBoxLayout* search = Row(ui.PanelSearch, 4, 0, 2, 0, 4);
    ui.ImageSearch = Button(ui.PanelSearch, "ImageSearch", QString(), QString(), QSize(20, 20));
    ui.ImageSearch->setIconSize(QSize(16, 16));
    ui.EditSearch = new QLineEdit(ui.PanelSearch);
    ui.EditSearch->setObjectName(QStringLiteral("EditSearch"));
    ui.EditSearch->setFrame(false);
    ui.EditSearch->setFixedHeight(20);
    ui.BitmapButtonSearch =
        Button(ui.PanelSearch, "BitmapButtonSearch", tr("搜索"), QStringLiteral("search"), QSize(22, 22));
    search->addWidget(ui.ImageSearch);
    search->addWidget(ui.EditSearch, 1);
    search->addWidget(ui.BitmapButtonSearch);
    right->addWidget(ui.PanelSearch);
    ui.bsSkinPanelManageSoftware = Panel(ui.bsSkinPanelToolbar, "bsSkinPanelManageSoftware");
    ui.bsSkinPanelManageSoftware->setFixedWidth(60);
    ui.bsSkinSpeedButtonManageSoftware =
        Button(ui.bsSkinPanelManageSoftware, "bsSkinSpeedButtonManageSoftware", QString(), QString(),
               QSize(60, 24), tr("软件市场"));
    ui.bsSkinSpeedButtonManageSoftware->setEnabled(false); // the software market comes with the hosted tools
    toolbar->addWidget(ui.bsSkinPanelManageSoftware);
    ui.bsSkinPanelManageSoftware->hide();

    // Tools and favorites row.
    ui.bsSkinPanelExt = Panel(ui.TFrameBrowser2, "bsSkinPanelExt");
    ui.bsSkinPanelExt->setFixedHeight(31);
    frame->addWidget(ui.bsSkinPanelExt);
    QHBoxLayout* ext = Row(ui.bsSkinPanelExt, 4, 0, 6, 0, 4);
    ui.bsSkinPanelFav = Panel(ui.bsSkinPanelExt, "bsSkinPanelFav");
    ui.bsSkinPanelFav->setFixedWidth(60);
    ui.SpeedButtonFav = Button(ui.bsSkinPanelFav, "SpeedButtonFav", QString(), QStringLiteral("fav"),
                               QSize(60, 24), tr("收藏"));
    Row(ui.bsSkinPanelFav, 0, 3, 0, 4)->addWidget(ui.SpeedButtonFav);
    ext->addWidget(ui.bsSkinPanelFav);
    ui.bsSkinToolBarFav = Panel(ui.bsSkinPanelExt, "bsSkinToolBarFav");
    ui.bsSkinToolBarFav->setFixedHeight(23);
    ext->addWidget(ui.bsSkinToolBarFav, 1);
    ui.bsSkinPanelExtTool = Panel(ui.bsSkinPanelExt, "bsSkinPanelExtTool");
    ui.bsSkinPanelExtTool->setFixedWidth(386);
    QHBoxLayout* tools = Row(ui.bsSkinPanelExtTool, 0, 3, 0, 3, 0);
    tools->addStretch(1);
    struct TToolRow {
        const char* Name;
        const char* Caption;
        const char* Icon;
    };
    static const TToolRow kTools[] = {
        {"SpeedButtonWrite", "手写", "write"},           {"SpeedButtonNetBank", "网银", "netbank"},
        {"SpeedButtonCourier", "快递", "courier"},       {"SpeedButtonCalc", "计算", "calc"},
        {"SpeedButtonTranslate", "翻译", "translate"},   {"SpeedButtonGame", "游戏", "game"},
        {"SpeedButtonScreenshot", "截图", "screenshot"},
    };
    for (const TToolRow& row : kTools) {
        QToolButton* button = Button(ui.bsSkinPanelExtTool, row.Name, QString(), QLatin1String(row.Icon),
                                     QSize(55, 25), tr(row.Caption));
        button->setIconSize(QSize(14, 14));
        tools->addWidget(button);
        ui.ToolButtons.append(button);
    }
    for (int index = 0; index < 3; ++index)
        ui.ToolButtons[index]->hide(); // handwriting, online banking and parcel tracking stay hidden
    ext->addWidget(ui.bsSkinPanelExtTool);

    // The tab strip arrives with the tab controller (deferred initialisation); pages below it.
    ui.TabStripHost = Panel(ui.TFrameBrowser2, "TabStripHost");
    ui.TabStripHost->setFixedHeight(30);
    ui.TabStripLayout = Row(ui.TabStripHost, 4, 1, 4, 0, 0);
    frame->addWidget(ui.TabStripHost);
    ui.PageHost = Panel(ui.TFrameBrowser2, "PageHost");
    frame->addWidget(ui.PageHost, 1);

    // Status bar.
    ui.bsSkinPanelBottom = Panel(this, "bsSkinPanelBottom");
    ui.bsSkinPanelBottom->setFixedHeight(26);
    outer->addWidget(ui.bsSkinPanelBottom);
    QHBoxLayout* bottom = Row(ui.bsSkinPanelBottom, 8, 2, 8, 2, 6);
    ui.LabelAd = Label(ui.bsSkinPanelBottom, "LabelAd");
    ui.LabelAd->setCursor(Qt::PointingHandCursor);
    ui.LabelAd->setTextFormat(Qt::PlainText); // the caption comes from the vendor's server
    bottom->addWidget(ui.LabelAd);
    ui.bsSkinPanelStatus = Panel(ui.bsSkinPanelBottom, "bsSkinPanelStatus");
    ui.LabelStatus = Label(ui.bsSkinPanelStatus, "LabelStatus");
    ui.LabelStatus->setMinimumWidth(1);
    ui.LabelStatus->setTextFormat(Qt::PlainText); // link addresses and texts of the page
    Row(ui.bsSkinPanelStatus, 8, 0, 0, 0)->addWidget(ui.LabelStatus, 1);
    bottom->addWidget(ui.bsSkinPanelStatus, 1);
    ui.bsSkinSpeedButtonDownload = Button(ui.bsSkinPanelBottom, "bsSkinSpeedButtonDownload", QString(),
                                          QStringLiteral("download"), QSize(58, 22), tr("下载"));
    ui.bsSkinSpeedButtonSpeed = Button(ui.bsSkinPanelBottom, "bsSkinSpeedButtonSpeed", QString(),
                                       QStringLiteral("speed"), QSize(58, 22), tr("加速"));
    for (QToolButton* button : {ui.bsSkinSpeedButtonDownload, ui.bsSkinSpeedButtonSpeed})
        button->setIconSize(QSize(14, 14));
    bottom->addWidget(ui.bsSkinSpeedButtonDownload);
    bottom->addWidget(ui.bsSkinSpeedButtonSpeed);
    ui.LabelScale = Label(ui.bsSkinPanelBottom, "LabelScale", QStringLiteral("100%"));
    ui.LabelScale->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ui.LabelScale->setMinimumWidth(36);
    bottom->addWidget(ui.LabelScale);

    // Floating panels, hidden at start.
    ui.PanelConfirm = Panel(this, "PanelConfirm");
    QHBoxLayout* confirm = Row(ui.PanelConfirm, 16, 8, 12, 8, 6);
    confirm->addWidget(Label(ui.PanelConfirm, "LabelConfirm", tr("是否恢复上次访问记录？")), 1);
    ui.bsSkinButtonYes = new QPushButton(tr("是"), ui.PanelConfirm);
    ui.bsSkinButtonYes->setObjectName(QStringLiteral("bsSkinButtonYes"));
    ui.bsSkinButtonNo = new QPushButton(tr("否"), ui.PanelConfirm);
    ui.bsSkinButtonNo->setObjectName(QStringLiteral("bsSkinButtonNo"));
    for (QPushButton* button : {ui.bsSkinButtonYes, ui.bsSkinButtonNo}) {
        button->setFixedSize(54, 25);
        confirm->addWidget(button);
    }
    ui.PanelConfirm->hide();

    ui.PanelUpdate = Panel(this, "PanelUpdate");
    QHBoxLayout* update = Row(ui.PanelUpdate, 16, 8, 12, 8, 6);
    update->addWidget(Label(ui.PanelUpdate, "LabelUpdate", tr("发现新版本，确定要更新吗？")), 1);
    for (const char* name : {"bsSkinButtonUpdateYes", "bsSkinButtonUpdateNo"}) {
        auto* button = new QPushButton(qstrcmp(name, "bsSkinButtonUpdateYes") == 0 ? tr("是") : tr("否"),
                                       ui.PanelUpdate);
        button->setObjectName(QLatin1String(name));
        button->setFixedSize(54, 25);
        update->addWidget(button);
    }
    ui.PanelUpdate->hide(); // shown by the update check, which makes no check without an update host

    ui.bsSkinListBoxHistory = new TSuggestionList(this);
    ui.bsSkinListBoxHistory->setGeometry(354, 57, 316, 30);

    ui.bsSkinPanelChangeSkin = Panel(this, "bsSkinPanelChangeSkin");
    ui.bsSkinPanelChangeSkin->resize(374, 199);
    auto* skinIcon = Label(ui.bsSkinPanelChangeSkin, "ImageSkinIcon");
    skinIcon->setPixmap(IconPixmap(QStringLiteral("skin"), QSize(16, 16)));
    skinIcon->setGeometry(8, 5, 16, 16);
    Label(ui.bsSkinPanelChangeSkin, "LabelSkinTitle", tr("更换皮肤"))->setGeometry(30, 3, 200, 20);
    QToolButton* skinClose = Button(ui.bsSkinPanelChangeSkin, "bsSkinSpeedButtonSkinClose", QString(),
                                    QString(), QSize(16, 16), QStringLiteral("×"));
    skinClose->move(353, 4);
    connect(skinClose, &QToolButton::clicked, ui.bsSkinPanelChangeSkin, &QWidget::hide);
    auto* line = new QFrame(ui.bsSkinPanelChangeSkin);
    line->setObjectName(QStringLiteral("ShapeLine"));
    line->setGeometry(1, 26, 372, 1);
    static const int kShapeLeft[] = {16, 86, 156, 226, 296};
    for (int index = 0; index < TSkinStyle::SkinCount; ++index) {
        auto* shape = new QToolButton(ui.bsSkinPanelChangeSkin);
        shape->setObjectName(QStringLiteral("Shape%1").arg(index + 1));
        shape->setGeometry(kShapeLeft[index % 5], index < 5 ? 41 : 118, 64, 64);
        shape->setProperty("tag", index);
        shape->setCursor(Qt::PointingHandCursor);
        shape->setStyleSheet(
            QStringLiteral("QToolButton { background: %1; border: 1px solid #c9ced6; "
                           "border-radius: 4px; } QToolButton:hover { border: 2px solid #4a90e2; }")
                .arg(TSkinStyle::SkinColor(index).name()));
        connect(shape, &QToolButton::clicked, this, [this, index] { ShapeClick(index); });
        ui.Shapes.append(shape);
    }
    ui.bsSkinPanelChangeSkin->hide();

    ui.TimerRefreshFav = new QTimer(this);
    ui.TimerRefreshFav->setObjectName(QStringLiteral("TimerRefreshFav"));
    ui.TimerRefreshFav->setInterval(3000);
    ui.TimerRefreshFav->setSingleShot(true);

    BuildMenus();
}

QAction* TFormMain::AddMenuItem(QMenu* menu, const char* name, const QString& caption,
                                const QString& shortcutText, bool enabled) {
    // The shortcut is only shown: the keys themselves belong to the application-wide hook, which
    // TConfigKey::DisableShortcuts can switch off while the menus keep working.
    QAction* item =
        menu->addAction(shortcutText.isEmpty() ? caption : caption + QLatin1Char('\t') + shortcutText);
    item->setObjectName(QLatin1String(name));
    item->setEnabled(enabled);
    return item;
}

void TFormMain::BuildMenus() {
    TFormMainUi& ui = *m_ui;
    QMenuBar* bar = ui.bsSkinMainMenuBar;
    ui.bsSkinMainMenu1 = new QMenu(this);
    ui.bsSkinMainMenu1->setObjectName(QStringLiteral("bsSkinMainMenu1"));
    auto submenu = [&](const char* name, const QString& caption) {
        QMenu* menu = bar->addMenu(caption);
        menu->setObjectName(QLatin1String(name));
        menu->menuAction()->setObjectName(QLatin1String(name));
        ui.bsSkinMainMenu1->addMenu(menu);
        return menu;
    };
    auto separator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QLatin1String(name));
    };

    // Command items start disabled; each is enabled where its command is connected (the page,
    // favorites, downloads, settings and services connections), so none can be chosen unbound.
    QMenu* file = submenu("NFile", tr("文件"));
    connect(AddMenuItem(file, "NNewTab", tr("新建标签"), QStringLiteral("Ctrl+T"), true), &QAction::triggered,
            this, [this] {
                if (m_tabs)
                    m_tabs->NewTab();
            });
    connect(AddMenuItem(file, "NNewTabWindows", tr("新建窗口"), QStringLiteral("Ctrl+N"), true),
            &QAction::triggered, this, [this] {
                if (m_tabs)
                    m_tabs->NewWindow();
            });
    separator(file, "N9");
    AddMenuItem(file, "NSave", tr("保存网页"), QString(), false);
    AddMenuItem(file, "NSaveImage", tr("保存网页为图片（请切换到IE内核）"), QString(), false);
    separator(file, "N10");
    file->actions().constLast()->setVisible(false);
    QMenu* print = file->addMenu(tr("打印"));
    print->setObjectName(QStringLiteral("NPrintMenu"));
    AddMenuItem(print, "NPrint", tr("打印"), QString(), false);
    AddMenuItem(print, "NPrintPreview", tr("打印预览（请切换到IE内核）"), QString(), false);
    AddMenuItem(print, "NPageSetup", tr("页面设置（请切换到IE内核）"), QString(), false);
    separator(file, "N12");
    connect(AddMenuItem(file, "NCloseTab", tr("关闭窗口"), QStringLiteral("Ctrl+W"), true),
            &QAction::triggered, this, [this] {
                if (m_tabs)
                    m_tabs->CloseCurrentTab();
            });

    QMenu* favorite = submenu("NFavorite", tr("收藏"));
    AddMenuItem(favorite, "NFavoriteAdd", tr("添加到收藏夹..."), QStringLiteral("Ctrl+D"), false);
    AddMenuItem(favorite, "NFavoriteManage", tr("整理收藏夹..."), QStringLiteral("Ctrl+M"), false);
    separator(favorite, "N32");
    AddMenuItem(favorite, "NExportImport", tr("导入/导出..."), QString(), false);
    separator(favorite, "N15");
    AddMenuItem(favorite, "NFavView", tr("显示收藏夹/收起收藏夹"), QStringLiteral("Ctrl+B"), false);
    separator(favorite, "N17");

    QMenu* view = submenu("MenuItem2", tr("查看"));
    AddMenuItem(view, "NFavViewHide", tr("显示收藏夹/收起收藏夹"), QStringLiteral("Ctrl+B"), false);
    separator(view, "N13");
    connect(AddMenuItem(view, "NChangeSkin", tr("换肤"), QString(), true), &QAction::triggered, this,
            &TFormMain::ToggleSkinPanel);
    separator(view, "N24");
    AddMenuItem(view, "NFind", tr("当前网页查找..."), QStringLiteral("Ctrl+F"), false);
    separator(view, "N29");
    QMenu* zoom = view->addMenu(tr("页面缩放"));
    zoom->setObjectName(QStringLiteral("NPageZoom"));
    AddMenuItem(zoom, "NZoomIn", tr("放大    Ctrl + +"), QString(), false);
    AddMenuItem(zoom, "NZoomOut", tr("缩小    Ctrl + -"), QString(), false);
    AddMenuItem(zoom, "NZoomRestore", tr("还原    Ctrl + 0"), QString(), false);
    separator(view, "N7");
    view->actions().constLast()->setVisible(false);
    QAction* fullScreen =
        AddMenuItem(view, "NFullScreen", tr("全屏显示/退出全屏"), QStringLiteral("F11"), true);
    fullScreen->setVisible(false);
    connect(fullScreen, &QAction::triggered, this, &TFormMain::ToggleFullScreen);

    QMenu* tools = submenu("N4", tr("工具"));
    AddMenuItem(tools, "NDownManage", tr("下载管理..."), QString(), false);
    separator(tools, "N8");
    AddMenuItem(tools, "NDeleteCache", tr("清除浏览痕迹..."), QString(), false);
    AddMenuItem(tools, "NViewHistory", tr("浏览历史管理..."), QString(), false);
    separator(tools, "N11");
    AddMenuItem(tools, "NDevelopTool", tr("开发人员工具"), QStringLiteral("F12"), false);
    separator(tools, "N38");
    AddMenuItem(tools, "NInternetOption", tr("Internet 选项"), QString(), false);
    connect(AddMenuItem(tools, "NOption", tr("选项"), QString(), true), &QAction::triggered, this,
            &TFormMain::ShowOptionsTab);

    QMenu* help = submenu("N5", tr("帮助"));
    AddMenuItem(help, "NOfficialWebsite", tr("官网"), QString(), false);
    AddMenuItem(help, "NTieba", tr("贴吧"), QString(), false);
    separator(help, "N6");
    AddMenuItem(help, "About", tr("关于..."), QString(), false);
}

void TFormMain::PlaceFloatingPanels() {
    TFormMainUi& ui = *m_ui;
    // The restore and update bars lie across the top of the page area.
    const QPoint pageTop = ui.PageHost->mapTo(this, QPoint(0, 0));
    ui.PanelConfirm->setGeometry(1, pageTop.y(), width() - 2, 41);
    ui.PanelUpdate->setGeometry(1, pageTop.y(), width() - 2, 41);
    // The skin panel opens under its button, kept inside the window.
    const QPoint skinButton = ui.bsSkinSpeedButtonChangeSkin->mapTo(this, QPoint(0, 0));
    const int skinLeft = qBound(
        0, skinButton.x() + ui.bsSkinSpeedButtonChangeSkin->width() - ui.bsSkinPanelChangeSkin->width(),
        qMax(0, width() - 374));
    ui.bsSkinPanelChangeSkin->move(skinLeft, skinButton.y() + ui.bsSkinSpeedButtonChangeSkin->height() + 4);
    if (ui.bsSkinListBoxHistory->isVisible()) {
        const QPoint panel = ui.PanelUrl->mapTo(this, QPoint(0, 0));
        ui.bsSkinListBoxHistory->setGeometry(panel.x() + 2, panel.y() + ui.PanelUrl->height() + 1,
                                             ui.PanelUrl->width(), ui.bsSkinListBoxHistory->height());
    }
}
