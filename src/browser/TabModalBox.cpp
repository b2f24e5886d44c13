// A page's message box that blocks only its tab.
#include "browser/TabModalBox.h"

#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QWidget>

TTabModalBox::TTabModalBox(QWidget* view) : m_view(view) {}

TTabModalBox::~TTabModalBox() {
    if (m_view) {
        m_view->removeEventFilter(this);
        m_view->setEnabled(m_viewWasEnabled);
    }
}

void TTabModalBox::Run(QDialog* box) {
    if (!m_view) {
        box->exec();
        return;
    }
    m_box = box;
    // The box belongs to the window, not to the view: the view may be hidden meanwhile and its
    // children must never include a box that lives on the caller's stack.
    box->setParent(m_view->window(), box->windowFlags() | Qt::Dialog);
    box->setWindowModality(Qt::NonModal);
    m_viewWasEnabled = m_view->isEnabled();
    m_view->setEnabled(false);
    m_view->installEventFilter(this);
    QEventLoop loop;
    connect(box, &QDialog::finished, &loop, &QEventLoop::quit);
    if (m_view->isVisible())
        ShowBox();
    loop.exec();
    box->hide();
}

void TTabModalBox::ShowBox() {
    m_box->show();
    m_box->raise();
    m_box->activateWindow();
}

bool TTabModalBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view && m_box) {
        if (event->type() == QEvent::Hide)
            m_box->hide();
        else if (event->type() == QEvent::Show)
            ShowBox();
    }
    return QObject::eventFilter(watched, event);
}
