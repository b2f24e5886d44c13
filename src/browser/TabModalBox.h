// Runs one of a page's message boxes so that it blocks only the page's own tab: the box is not
// modal, the page's view takes no input while it is up, the box hides while the view is hidden
// (another tab shown) and comes back with it. The rest of the window keeps working meanwhile.
#pragma once

#include <QObject>
#include <QPointer>

class QDialog;
class QWidget;

class TTabModalBox final : public QObject {
    Q_OBJECT
public:
    // view: the page's widget; nullptr shows the box modal to the whole application instead.
    explicit TTabModalBox(QWidget* view);
    ~TTabModalBox() override;

    // Shows box and returns once it is answered or ended (in a nested event loop). Boxes of other
    // tabs opened meanwhile run in loops nested inside this one: this call returns after theirs.
    void Run(QDialog* box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowBox();

    QPointer<QWidget> m_view;
    QPointer<QDialog> m_box;
    bool m_viewWasEnabled = true;
};
