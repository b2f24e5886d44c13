// Dropped files open in a new tab, whichever control of the window they are dropped on.
#include "shell/FileDropFilter.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace {
// The first local file a drag carries, as an address; empty when it carries none.
QString FirstFileUrl(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return QString();
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return url.toString();
    return QString();
}
} // namespace

TFileDropFilter::TFileDropFilter(QWidget* window, std::function<void(const QString&)> open)
    : QObject(window), m_window(window), m_open(std::move(open)) {
    QCoreApplication::instance()->installEventFilter(this);
}

TFileDropFilter::~TFileDropFilter() {
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

bool TFileDropFilter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto* target = qobject_cast<QWidget*>(watched);
    if (!m_window || !target || target->window() != m_window)
        return QObject::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    const QString url = FirstFileUrl(drop->mimeData());
    if (url.isEmpty())
        return QObject::eventFilter(watched, event);
    drop->acceptProposedAction();
    if (type == QEvent::Drop)
        m_open(url);
    return true; // the engine never sees the file
}
