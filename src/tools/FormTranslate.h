// The translator window: each line of the input is sent to the translation service on a worker
// thread and its translation appended to the output as it arrives.
#pragma once

#include "tools/TranslateRun.h"
#include "tools/TranslateRunLanguages.h"

#include <QDialog>
#include <QPointer>
#include <functional>

class QBoxLayout;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class TFormTranslate : public QDialog {
    Q_OBJECT
public:
    // endpoint: the translation service's address; empty means no service is configured, and
    // then nothing is ever sent.
    explicit TFormTranslate(QWidget* parent, const QString& endpoint);
    // The service as chosen by ResolveTranslateService: a server gets the language choice, filled
    // from its language list (fetched on a worker thread).
    TFormTranslate(QWidget* parent, const TTranslateService& service);
    // A run still going is aborted; its remaining answers are dropped.
    ~TFormTranslate() override;

    // Shows a message to the user (an information box by default).
    void SetMessageFunction(std::function<void(const QString&)> message) { m_message = std::move(message); }
    // The run under way, or nullptr. It outlives the window until its thread has ended.
    TTranslateRun* ActiveRun() const { return m_run; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildLayout();
    void bsSkinButtonTranslateClick();
    void StartRun(const QStringList& lines);
    void AppendResult(const QString& text);
    void RunFinished();
    void AddLanguageChoice(QBoxLayout* row);
    void FetchLanguages();
    void ShowLanguages(const QList<TTranslateLanguage>& languages);

    const TTranslateService m_service;
    const QString m_endpoint;
    QString m_failure; // why the last line of the run gave nothing
    std::function<void(const QString&)> m_message;
    QPointer<TTranslateRun> m_run;
    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QPlainTextEdit* bsSkinMemoText = nullptr;
    QPushButton* bsSkinButtonTranslate = nullptr;
    QLabel* Label2 = nullptr;
    QPlainTextEdit* bsSkinMemoResult = nullptr;
    QComboBox* ComboSource = nullptr; // a server's languages
    QComboBox* ComboTarget = nullptr;
};

// The toolbar button "翻译" (SpeedButtonTranslate, also Alt+T): opens the translator below the
// button, modal, with the service ResolveTranslateService chooses, unless it is already open.
void ShowTranslator(QWidget* button);
