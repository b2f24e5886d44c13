// Chinese captions for the Chromium engine's own page actions. The engine labels them in English
// and Qt ships no Chinese translation for it, so its entries in the right-click menu (link, image,
// media, editing) would stand in English among the browser's own.
#pragma once

class QWebEnginePage;

// Gives every action of the page that the engine's menu can show its Chinese caption.
void TranslateEngineActions(QWebEnginePage& page);
