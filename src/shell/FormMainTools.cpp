// TFormMain: the tools row. "计算" opens the calculator, "翻译" the translator and "截图" the screen
// capture; each window opens next to its button.
#include "shell/FormMain.h"

#include "shell/FormMainUi.h"
#include "tools/FormCalculator.h"
#include "tools/FormScreenCapture.h"
#include "tools/FormTranslate.h"

#include <QToolButton>

void TFormMain::ConnectTools() {
    const TFormMainUi& ui = *m_ui;
    const struct {
        int Index;
        void (*Show)(QWidget* button);
    } kTools[] = {{3, ShowCalculator}, {4, ShowTranslator}, {6, ShowScreenCapture}};
    for (const auto& tool : kTools) {
        QToolButton* button = ui.ToolButtons.value(tool.Index);
        if (!button)
            continue;
        button->setEnabled(true);
        connect(button, &QToolButton::clicked, this, [button, show = tool.Show] { show(button); });
    }
}
