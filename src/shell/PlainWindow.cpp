// The plain start window: caption, icon and one Chromium view filling it.
#include "shell/PlainWindow.h"

#include "BuildConfig.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineView>

TPlainWindow::TPlainWindow(const QString& address, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PlainWindow"));
    setWindowTitle(QStringLiteral("%1 %2").arg(QLatin1String(BuildConfig::ProductName),
                                               QLatin1String(BuildConfig::Version)));
    setMinimumSize(640, 480);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_view = new QWebEngineView(this);
    m_view->setObjectName(QStringLiteral("crm"));
    layout->addWidget(m_view);

    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize available = screen != nullptr ? screen->availableSize() : QSize(1280, 800);
    resize(available.boundedTo(QSize(1280, 860)));

    m_view->load(QUrl::fromUserInput(address, QDir::currentPath()));
}
