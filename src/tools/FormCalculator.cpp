// The calculator window (see FormCalculator.h); the rules live in TCalculator.
#include "tools/FormCalculator.h"

#include "tools/ToolWindow.h"

#include <QClipboard>
#include <QFrame>
#include <QGuiApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {
QFont ExpressionFont() {
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(19);
    return font;
}
} // namespace

TFormCalculator::TFormCalculator(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("TFormCalculator"));
    setWindowTitle(tr("计算器"));
    BuildLayout();
    // Every control passes its keys to the window first.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    Refresh();
}

void TFormCalculator::BuildLayout() {
    setFixedSize(366, 380);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);

    PanelExpression = new QFrame(this);
    PanelExpression->setObjectName(QStringLiteral("PanelExpression"));
    PanelExpression->setFixedSize(350, 96);
    PanelExpression->setFocusPolicy(Qt::StrongFocus);
    PanelExpression->setStyleSheet(QStringLiteral("#PanelExpression { background: #ffffff; }"));
    auto* panelLayout = new QVBoxLayout(PanelExpression);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(0);

    // The two fields never take the focus: keys must keep reaching the window.
    EditExpression = new QTextEdit(PanelExpression);
    EditExpression->setObjectName(QStringLiteral("EditExpression"));
    EditExpression->setReadOnly(true);
    EditExpression->setFrameShape(QFrame::NoFrame);
    EditExpression->setFont(ExpressionFont());
    EditExpression->setFixedSize(350, 70);
    EditExpression->setFocusPolicy(Qt::NoFocus);
    EditExpression->setWordWrapMode(QTextOption::WrapAnywhere);
    EditExpression->document()->setDefaultTextOption(QTextOption(Qt::AlignRight));
    EditResult = new QLineEdit(PanelExpression);
    EditResult->setObjectName(QStringLiteral("EditResult"));
    EditResult->setReadOnly(true);
    EditResult->setFrame(false);
    EditResult->setAlignment(Qt::AlignRight);
    EditResult->setFont(ExpressionFont());
    EditResult->setFocusPolicy(Qt::NoFocus);
    panelLayout->addWidget(EditExpression);
    panelLayout->addWidget(EditResult);
    layout->addWidget(PanelExpression);

    auto* grid = new QGridLayout;
    grid->setSpacing(6);
    layout->addLayout(grid);
    const char* const digitNames[] = {"Button0", "Button1", "Button2", "Button3", "Button4",
                                      "Button5", "Button6", "Button7", "Button8", "Button9"};
    for (int digit = 0; digit <= 9; ++digit) {
        const int row = digit == 0 ? 4 : 3 - (digit - 1) / 3;
        const int column = digit == 0 ? 0 : (digit - 1) % 3;
        QPushButton* button = AddButton(grid, digitNames[digit], QString::number(digit), row, column);
        button->setProperty("Tag", digit);
        connect(button, &QPushButton::clicked, this, [this, button] { Button0Click(button); });
    }
    const QString operators[][2] = {{QStringLiteral("ButtonDiv"), QString(TCalculator::Divide)},
                                    {QStringLiteral("ButtonMultiply"), QString(TCalculator::Multiply)},
                                    {QStringLiteral("ButtonDec"), QStringLiteral("-")},
                                    {QStringLiteral("ButtonInc"), QStringLiteral("+")}};
    const int operatorPlaces[][2] = {{0, 1}, {0, 2}, {1, 3}, {2, 3}};
    for (int i = 0; i < 4; ++i) {
        QPushButton* button = AddButton(grid, operators[i][0].toLatin1().constData(), operators[i][1],
                                        operatorPlaces[i][0], operatorPlaces[i][1]);
        connect(button, &QPushButton::clicked, this, [this, button] { ButtonDivClick(button); });
    }
    auto action = [this](QPushButton* button, void (TCalculator::*step)()) {
        connect(button, &QPushButton::clicked, this, [this, step] {
            (m_calculator.*step)();
            Refresh();
        });
    };
    action(AddButton(grid, "ButtonClear", QStringLiteral("C"), 0, 0), &TCalculator::Clear);
    action(AddButton(grid, "ButtonDelete", QStringLiteral("←"), 0, 3), &TCalculator::DeleteLast);
    ButtonBracket = AddButton(grid, "ButtonBracket", QStringLiteral("（）"), 3, 3);
    action(ButtonBracket, &TCalculator::ToggleBracket);
    action(AddButton(grid, "ButtonPoint", QStringLiteral("."), 4, 1), &TCalculator::AddPoint);
    action(AddButton(grid, "ButtonPlusMinus", QStringLiteral("+/-"), 4, 2), &TCalculator::ToggleSign);
    action(AddButton(grid, "ButtonCalc", QStringLiteral("="), 4, 3), &TCalculator::Evaluate);
}

QPushButton* TFormCalculator::AddButton(QGridLayout* grid, const char* name, const QString& caption, int row,
                                        int column) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QLatin1String(name));
    button->setFixedSize(83, 45);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false); // Enter evaluates; it must not press a button
    grid->addWidget(button, row, column);
    return button;
}

void TFormCalculator::Button0Click(const QPushButton* button) {
    m_calculator.AddDigit(button->property("Tag").toInt());
    Refresh();
}

void TFormCalculator::ButtonDivClick(const QPushButton* button) {
    m_calculator.AddOperator(button->text().at(0));
    Refresh();
}

void TFormCalculator::FormKeyDown(const QKeyEvent* event) {
    PanelExpression->setFocus();
    // Ctrl+C copies the result (the fields never hold the keyboard, so they cannot copy it).
    if (event->matches(QKeySequence::Copy)) {
        if (!m_calculator.Result().isEmpty())
            QGuiApplication::clipboard()->setText(m_calculator.Result());
        return;
    }
    if (m_calculator.PressKey(event->key(), event->modifiers()))
        Refresh();
}

void TFormCalculator::Refresh() {
    if (EditExpression->toPlainText() != m_calculator.Expression()) {
        EditExpression->setPlainText(m_calculator.Expression());
        EditExpression->moveCursor(QTextCursor::End); // the newest part of a long expression
    }
    EditResult->setText(m_calculator.Result());
    ButtonBracket->setProperty("Tag", m_calculator.BracketTag());
    PanelExpression->setFocus();
}

bool TFormCalculator::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        FormKeyDown(static_cast<QKeyEvent*>(event));
        return true;
    }
    return QDialog::event(event);
}

bool TFormCalculator::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        FormKeyDown(static_cast<QKeyEvent*>(event));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void ShowCalculator(QWidget* button) {
    static QPointer<TFormCalculator> open;
    if (open)
        return;
    open = new TFormCalculator(button ? button->window() : nullptr);
    ShowToolWindow(open, button);
}
