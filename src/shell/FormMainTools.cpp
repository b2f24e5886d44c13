// TFormMain: the tools row. "计算" opens the calculator, "翻译" the translator and "截图" the screen
// capture; each window opens next to its button. Where the screen cannot be read (Wayland), the
// capture button says so instead of capturing.
#include "shell/FormMain.h"

#include "shell/FormMainUi.h"
#include "tools/FormCalculator.h"
#include "tools/FormScreenCapture.h"
#include "tools/FormTranslate.h"
#include "tools/ScreenCapture.h"

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
        connect(button, &QToolButton::clicked, this, [button, show = tool.Show] { show(button); });
    }
    // Under Wayland the capture button's hint already says why it cannot capture.
    if (QToolButton* capture = ui.ToolButtons.value(6); capture && !ScreenCaptureAvailable())
        capture->setToolTip(ScreenCaptureUnavailableText());
}
