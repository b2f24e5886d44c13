// Whether the keys are in an editable element of a Chromium page.
#include "browser/ChromiumFieldFocus.h"

#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

bool AskChromiumFieldFocus(QWidget* focus, std::function<void(bool field)> answer) {
    QWebEngineView* chromium = nullptr;
    for (QWidget* widget = focus; widget && !chromium; widget = widget->parentWidget())
        chromium = qobject_cast<QWebEngineView*>(widget);
    if (!chromium)
        return false;
    // Asked in a script world of its own, which the page cannot change. A focused frame counts as
    // a field, since what has the keys inside it cannot be seen from here.
    static const QString script = QStringLiteral(
        "(function () { var e = document.activeElement;"
        " while (e && e.shadowRoot && e.shadowRoot.activeElement) e = e.shadowRoot.activeElement;"
        " if (!e) return false; if (e.isContentEditable) return true;"
        " var tag = e.tagName; if (tag === 'IFRAME' || tag === 'FRAME' || tag === 'TEXTAREA') return true;"
        " if (tag !== 'INPUT') return false;"
        " return ['button', 'checkbox', 'radio', 'submit', 'reset', 'image', 'file', 'color', 'range']"
        ".indexOf((e.type || '').toLowerCase()) < 0; })()");
    chromium->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                                    [answer](const QVariant& field) { answer(field.toBool()); });
    return true;
}
