// A plain browser window with one Chromium view: the program's window until the full main window
// takes its place.
#pragma once

#include <QString>
#include <QWidget>

class QWebEngineView;

class TPlainWindow final : public QWidget {
    Q_OBJECT
public:
    // Shows the address: a web address, or a local file path relative to the current folder.
    explicit TPlainWindow(const QString& address, QWidget* parent = nullptr);

    QWebEngineView* View() const { return m_view; }

private:
    QWebEngineView* m_view = nullptr;
};
