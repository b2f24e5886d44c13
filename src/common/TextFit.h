// Fitting text of any length (page titles, addresses, file names) into a width or a length. A page
// may hand over a caption of a hundred thousand characters: only a piece no longer than the width can
// show is ever measured, and a logarithmic number of times, so such a caption costs what a short one
// does.
#pragma once

#include <QString>

class QFontMetrics;

namespace TextFit {

// The longest beginning of text whose width is at most width pixels, never ending inside a
// character (two UTF-16 units, a letter with its marks); no ellipsis. Empty when nothing fits.
QString Prefix(const QString& text, const QFontMetrics& metrics, int width);

// text cut to at most maxChars UTF-16 units (whole characters), with "…" when it was cut.
QString Capped(const QString& text, int maxChars);

// Page text for a tool tip: capped, and marked up so that it shows exactly as written (a tool tip
// would otherwise read a text that looks like markup as rich text).
QString PlainToolTip(const QString& text);

// Longest caption, window title or status text handed to a label; labels clip the rest anyway.
constexpr int MaxLabelChars = 1024;
constexpr int MaxToolTipChars = 300;

} // namespace TextFit
