// Whether the keys are in an editable element of a Chromium page: the page is asked, since it does
// not tell its widget which element has the focus.
#pragma once

#include <functional>

class QWidget;

// When focus lies inside a Chromium view, asks that page whether a text field, an editable area
// or a frame has the keys and answers through answer (later, on the UI thread), then returns true.
// Returns false at once, never calling answer, when focus is in no Chromium view.
bool AskChromiumFieldFocus(QWidget* focus, std::function<void(bool field)> answer);
