// The Internet Options host: starts the desktop's network settings program, takes its window in
// once it shows up and closes together with it. Where no such program is installed, it says so.
#pragma once

#include "services/NetworkSettings.h"

#include <QDialog>
#include <QPointer>
#include <functional>

class QProcess;
class QTimer;
class QWindow;

class TFormInternetOption final : public QDialog {
    Q_OBJECT
public:
    explicit TFormInternetOption(const TNetworkSettingsProgram& program, QWidget* parent = nullptr);
    // Asks the hosted window to close; the program is ended when it does not.
    ~TFormInternetOption() override;

    // Tells the user that no program is available (an information box by default).
    void SetMessageFunction(std::function<void(const QString&)> message) { m_message = std::move(message); }
    static QString NoProgramText();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void TimerSearchInternetOptionTimer();
    void TimerSearchInternetOptionCloseTimer();

    const TNetworkSettingsProgram m_program;
    std::function<void(const QString&)> m_message;
    QTimer* TimerSearchInternetOption = nullptr;
    QTimer* TimerSearchInternetOptionClose = nullptr;
    QProcess* m_process = nullptr;
    quint32 m_hosted = 0; // the hosted window, 0 until found
    QPointer<QWindow> m_hostedWindow;
    bool m_shown = false;
};
