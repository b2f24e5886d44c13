// The software market window.
#include "services/FormManageSoftware.h"

#include "services/SitePageView.h"
#include "services/SitePages.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

TFormManageSoftware::TFormManageSoftware(QObject* mainWindow, const QString& siteRoot, QWidget* parent)
    : TSiteToolWindow(mainWindow, siteRoot, 0, parent) {
    setObjectName(QStringLiteral("FormManageSoftware"));
    setWindowTitle(tr("软件市场"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(1052, 753);
    setStyleSheet(QStringLiteral("#FormManageSoftware { border: 1px solid #2f6fd6; }"
                                 "#bsSkinPanelTool { background: #2f6fd6; }"
                                 "#LabelTitle { color: #ffffff; font-weight: bold; background: transparent; }"
                                 "#bsSkinSpeedButtonClose { color: #ffffff; border: none; font-size: 16px; }"));

    bsSkinPanelTool = new QWidget(this);
    bsSkinPanelTool->setObjectName(QStringLiteral("bsSkinPanelTool"));
    bsSkinPanelTool->setAttribute(Qt::WA_StyledBackground);
    bsSkinPanelTool->setFixedHeight(34);
    LabelTitle = new QLabel(tr("软件市场"), bsSkinPanelTool);
    LabelTitle->setObjectName(QStringLiteral("LabelTitle"));
    bsSkinButtonSubmitSoftware = new QPushButton(tr("提供软件"), bsSkinPanelTool);
    bsSkinButtonSubmitSoftware->setObjectName(QStringLiteral("bsSkinButtonSubmitSoftware"));
    connect(bsSkinButtonSubmitSoftware, &QPushButton::clicked, this,
            &TFormManageSoftware::bsSkinButtonSubmitSoftwareClick);
    bsSkinSpeedButtonClose = new QToolButton(bsSkinPanelTool);
    bsSkinSpeedButtonClose->setObjectName(QStringLiteral("bsSkinSpeedButtonClose"));
    bsSkinSpeedButtonClose->setText(QStringLiteral("×"));
    bsSkinSpeedButtonClose->setToolTip(tr("后退"));
    bsSkinSpeedButtonClose->setFixedSize(30, 30);
    connect(bsSkinSpeedButtonClose, &QToolButton::clicked, this, &QDialog::reject);
    auto* bar = new QHBoxLayout(bsSkinPanelTool);
    bar->setContentsMargins(10, 2, 4, 2);
    bar->addWidget(LabelTitle);
    bar->addSpacing(16);
    bar->addWidget(bsSkinButtonSubmitSoftware);
    bar->addStretch(1);
    bar->addWidget(bsSkinSpeedButtonClose);
    for (QWidget* handle : {bsSkinPanelTool, static_cast<QWidget*>(LabelTitle)})
        handle->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    layout->addWidget(bsSkinPanelTool);
    layout->addWidget(AddSiteView(this, "crm", QLatin1String(SitePages::Software)), 1);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void TFormManageSoftware::bsSkinButtonSubmitSoftwareClick() {
    OpenAndClose(SitePageUrl(SiteRoot(), QLatin1String(SitePages::SoftwareSubmit)), 0);
}

// The bar moves the window: it has no frame of its own to be dragged by.
bool TFormManageSoftware::eventFilter(QObject* watched, QEvent* event) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (mouse->button() != Qt::LeftButton)
            break;
        m_dragging = true;
        m_grab = mouse->globalPos() - frameGeometry().topLeft();
        return true;
    case QEvent::MouseMove:
        if (!m_dragging)
            break;
        move(mouse->globalPos() - m_grab);
        return true;
    case QEvent::MouseButtonRelease:
        if (!m_dragging)
            break;
        m_dragging = false;
        return true;
    default:
        break;
    }
    return TSiteToolWindow::eventFilter(watched, event);
}
