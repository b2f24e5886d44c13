// How big the capture's text box is for its text: it grows with the text and stops at the
// selection's right and bottom edges.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QFont;
class QString;

// Widest line by the sum of the line heights, plus twice the size of the character "啊" (room for
// the next character and line), limited so that the box at `boxPos` ends inside `selection`.
QSize CaptureTextBoxSize(const QFont& font, const QString& text, const QPoint& boxPos,
                         const QRect& selection);
