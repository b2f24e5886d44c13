// The small non-modal find window of the main window: the text to find, the letter case rule and
// the two directions. It posts every request to the window that opened it (WM_FIND_IN_PAGE) and
// says when it closes (WM_FIND_CLOSED); closing deletes it.
#pragma once

#include <QPointer>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TFormFindWebPage final : public QWidget {
    Q_OBJECT
public:
    // mainWindow receives the messages; text is the last search's text.
    TFormFindWebPage(QWidget* mainWindow, const QString& text);

    void bsSkinButtonNextClick() { PostRequest(true); }
    void bsSkinButtonPreviousClick() { PostRequest(false); }
    // The engine's answer to the last request: "第 2 个，共 5 个", "未找到", or nothing when the
    // engine does not count its matches (total -1) and found one.
    void ShowMatches(int active, int total);

protected:
    void keyReleaseEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void PostRequest(bool forward);

    QPointer<QWidget> m_mainWindow;
    QLineEdit* m_text;
    QCheckBox* m_matchCase;
    QLabel* m_matches;
    QPushButton* m_previous;
    QPushButton* m_next;
};
