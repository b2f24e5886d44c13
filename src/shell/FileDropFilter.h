// Files dragged onto the browser window, wherever they are dropped (the page area included, where
// the engines would otherwise load the file into the current tab), open in a new tab.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

class TFileDropFilter final : public QObject {
    Q_OBJECT
public:
    // Watches the application's drag events aimed at the window or its children; open receives
    // the first dropped file's address.
    TFileDropFilter(QWidget* window, std::function<void(const QString& url)> open);
    ~TFileDropFilter() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_window;
    std::function<void(const QString&)> m_open;
};
