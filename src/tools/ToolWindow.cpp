// How the toolbar's tool windows open (see ToolWindow.h).
#include "tools/ToolWindow.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void ShowToolWindow(QDialog* window, const QWidget* button) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    if (button) {
        // The window's top-right corner under the button's bottom-right corner, kept on screen.
        const QPoint anchor = button->mapToGlobal(QPoint(button->width(), button->height()));
        QPoint place(anchor.x() - window->width(), anchor.y());
        if (const QScreen* screen = QGuiApplication::screenAt(anchor)) {
            const QRect area = screen->availableGeometry();
            place.setX(qBound(area.left(), place.x(), qMax(area.left(), area.right() - window->width())));
            place.setY(qBound(area.top(), place.y(), qMax(area.top(), area.bottom() - window->height())));
        }
        window->move(place);
    }
    window->show();
    window->raise();
    window->activateWindow();
}
