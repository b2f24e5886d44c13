// TCompatHostList, the options page's list of the hosts remembered for the compatibility engine,
// with a button that sends the selected host back to Chromium. It reads the list afresh each time
// it is shown. Tabs open on such a host keep their engine until an address is opened in them.
#pragma once

#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;
class TCompatHostSource;

class TCompatHostList final : public QWidget {
    Q_OBJECT
public:
    // Without an engine memory the list stays empty.
    explicit TCompatHostList(TCompatHostSource* kernels, QWidget* parent = nullptr);

    // Fills the list from the engine memory, keeping the selected host when it is still listed.
    void Refresh();
    // Sends the selected host back to Chromium and takes it off the list.
    void SendSelectedToChromium();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void UpdateButton();

    TCompatHostSource* m_kernels;
    QListWidget* m_list = nullptr;
    QLabel* m_empty = nullptr;
    QPushButton* m_toChromium = nullptr;
};
