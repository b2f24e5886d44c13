// Access to the compiled-in icon resources.
#include "common/AppIcons.h"

#include <QFile>

static void InitIconResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    Q_UNUSED(done);
}

QIcon AppIcon(const QString& name) {
    InitIconResources();
    const QString path = QStringLiteral(":/icons/%1.svg").arg(name);
    if (!QFile::exists(path))
        return QIcon();
    return QIcon(path);
}

QPixmap IconPixmap(const QString& name, const QSize& size) {
    const QSize wanted = size.isValid() && !size.isEmpty() ? size : QSize(16, 16);
    return AppIcon(name).pixmap(wanted);
}
