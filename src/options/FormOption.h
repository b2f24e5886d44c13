// TFormOption, the options page shown in the "选项设置" tab (address "about:config"): four
// sections (basic, downloads, shortcuts, the compatibility engine's hosts) picked from the left
// column. Every control writes its
// configuration key when it loses the focus (check boxes and radio buttons also when they change),
// the folder button when a folder has been chosen. There is no OK or Cancel.
#pragma once

#include <QHash>
#include <QString>
#include <QWidget>
#include <functional>

class QAbstractButton;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QStackedWidget;
class QVBoxLayout;
class TConfig;
enum class TConfigKey : int;
class TDomainKernel;
class THotKeyEdit;
class TTabSleepRow;

class TFormOption final : public QWidget {
    Q_OBJECT
public:
    // mainWindow receives WM_BOSS_KEY_CHANGED; navigationPage is shown as the home page while
    // none is set. The configuration and the engine memory (may be null) outlive the page.
    TFormOption(QObject* mainWindow, const QString& navigationPage, TConfig& config,
                TDomainKernel* kernels = nullptr, QWidget* parent = nullptr);

    // The folder picker; tests replace it. Answers a folder ending in "/", empty when cancelled.
    std::function<QString(QWidget* owner, const QString& start)> PickFolder;

    // Loads every control from the configuration.
    void FormShow();
    // Shows section index (0 basic, 1 downloads, 2 shortcuts, 3 engine hosts) with the selection button on its label.
    void SelectSection(int index);
    // Takes a chosen download folder: refused with a message when files cannot be written there
    // (the old folder stays), else shown and stored as the chosen download folder. True when taken.
    bool TakeDownloadFolder(const QString& folder);
    // Moves the focus to the selection button, so the control that had it saves its value.
    void SaveFocusedControl();
    // Mouse wheel over the page: the shortcut list scrolls by 25 pixels per notch.
    void ScrollShortcuts(int notches);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLeftPanel();
    QWidget* BuildBasicPage();
    QWidget* BuildDownloadPage();
    QWidget* BuildShortcutPage();
    QWidget* BuildEnginePage(TDomainKernel* kernels);
    // The translation server's address and key, stored when they lose the focus.
    void AddTranslateRows(QWidget* page, QVBoxLayout* column);
    QCheckBox* CheckBox(QWidget* parent, const char* name, const QString& caption, TConfigKey key);
    QRadioButton* Radio(QWidget* parent, const char* name, const QString& caption);
    // Runs save whenever the control loses the focus.
    void SaveOnLeave(QWidget* control, std::function<void()> save);
    void SaveHomePage();
    void SaveBossKey();
    void ChooseDownloadFolder();
    void HighlightLabel(QLabel* label);

    QObject* m_mainWindow;
    QString m_navigationPage;
    TConfig& m_config;
    QHash<QObject*, std::function<void()>> m_savers;
    QHash<QCheckBox*, TConfigKey> m_flagKeys;
    QList<QLabel*> m_sectionLabels;
    QPushButton* m_buttonSel = nullptr;
    QStackedWidget* m_pages = nullptr;
    QRadioButton* m_openExitPage = nullptr;
    QRadioButton* m_openHome = nullptr;
    QLineEdit* m_editHome = nullptr;
    THotKeyEdit* m_hotKey = nullptr;
    QRadioButton* m_lastTimePath = nullptr;
    QRadioButton* m_savePath = nullptr;
    QLineEdit* m_editDownloadPath = nullptr;
    QScrollArea* m_shortcutList = nullptr;
    QLineEdit* m_editTranslateServer = nullptr;
    QLineEdit* m_editTranslateKey = nullptr;
    TTabSleepRow* m_tabSleep = nullptr;
    bool m_flushing = false;
};
