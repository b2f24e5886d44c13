// The calculator window: an expression built with buttons or keys, evaluated on "=".
#pragma once

#include "tools/Calculator.h"

#include <QDialog>

class QFrame;
class QGridLayout;
class QKeyEvent;
class QLineEdit;
class QPushButton;
class QTextEdit;

class TFormCalculator : public QDialog {
    Q_OBJECT
public:
    explicit TFormCalculator(QWidget* parent = nullptr);

    const TCalculator& Calculator() const { return m_calculator; }

protected:
    // The window sees every key before its controls (Tab and Esc included).
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLayout();
    QPushButton* AddButton(QGridLayout* grid, const char* name, const QString& caption, int row, int column);
    void Button0Click(const QPushButton* button);
    void ButtonDivClick(const QPushButton* button);
    void FormKeyDown(const QKeyEvent* event);
    // Shows the calculator's state and hands the focus back to PanelExpression.
    void Refresh();

    TCalculator m_calculator;
    QFrame* PanelExpression = nullptr;
    QTextEdit* EditExpression = nullptr;
    QLineEdit* EditResult = nullptr;
    QPushButton* ButtonBracket = nullptr;
};

// The toolbar button "计算" (SpeedButtonCalc): opens the calculator below the button, modal,
// unless it is already open.
void ShowCalculator(QWidget* button);
