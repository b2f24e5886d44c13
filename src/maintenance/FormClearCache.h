// TFormClearCache ("清理上网痕迹"): the user ticks the kinds of browsing traces, presses
// "立即清理", and a worker clears them while a busy indicator turns; closing the window stops it.
#pragma once

#include "maintenance/CacheCleaner.h"

#include <QDialog>
#include <QHash>
#include <QPointer>
#include <atomic>
#include <functional>
#include <memory>

class QCheckBox;
class QMessageBox;
class QPushButton;
class QThread;
class TConfig;
class TLoadingSpinner;

class TFormClearCache final : public QDialog {
    Q_OBJECT
public:
    // The stores outlive the window; either may be null (its kind is skipped). onCleaned runs on
    // the UI thread after a cleaning that ran to its end, with the kinds it cleared.
    TFormClearCache(THistory* history, TDownloadQueue* downloads, TConfig& config,
                    std::function<void(int kinds)> onCleaned, QWidget* parent = nullptr);
    // Stops a running cleaning and waits for its worker: the stores must not be used after.
    ~TFormClearCache() override;

    // The engines' stores that live in memory, cleared on the UI thread before the worker starts;
    // the window that opens the dialog supplies it (none by default).
    std::function<void(int kinds)> ClearLiveStores;
    // Where the file stores are; tests point it at their own folders.
    TCleanFolders Folders = TCleanFolders::Default();
    // Handed to the cleaner: runs on the worker before each kind (tests hold the worker there).
    std::function<void(int kind)> OnStep;

    int TickedKinds() const;
    bool CleaningDone() const { return m_cleaningDone; }
    // "立即清理".
    void StartCleaning();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void customEvent(QEvent* event) override;

private:
    void BuildLayout();
    QCheckBox* KindBox(const char* name, const QString& caption, int kind);
    void CleaningFinished(const TCleanReport& report);
    void SetBusy(bool busy);
    bool AskStop();
    void StopWorker();

    TConfig& m_config;
    THistory* m_history;
    TDownloadQueue* m_downloads;
    std::function<void(int)> m_onCleaned;
    QHash<QCheckBox*, int> m_kindBoxes;
    QCheckBox* m_exitBox = nullptr;
    QWidget* m_panelControl = nullptr;
    QPushButton* m_buttonClear = nullptr;
    QWidget* m_panelLoading = nullptr;
    TLoadingSpinner* m_spinner = nullptr;
    QWidget* m_panelPrompt = nullptr;
    std::unique_ptr<QThread> m_worker;
    QPointer<QMessageBox> m_question; // the stop question while it is asked
    std::atomic<bool> m_stopRequested{false};
    bool m_cleaningDone = true;
    int m_runningKinds = 0;
};
