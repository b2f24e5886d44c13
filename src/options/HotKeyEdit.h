// The boss-key edit: takes the key combination pressed while it has the focus and shows it as
// text ("Alt + X"); Backspace clears it. Its value is the stored shortcut form (virtual-key code
// plus 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt).
#pragma once

#include <QLineEdit>

class THotKeyEdit final : public QLineEdit {
    Q_OBJECT
public:
    explicit THotKeyEdit(QWidget* parent = nullptr);

    quint16 Value() const { return m_value; }
    void SetValue(quint16 value);

signals:
    void valueEdited(quint16 value);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    quint16 m_value = 0;
};
