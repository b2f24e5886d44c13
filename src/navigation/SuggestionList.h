// The floating list of address suggestions under the address bar (bsSkinListBoxHistory): each
// entry shows its address and, beside it in a quieter colour, its page title (both plain text,
// cut with "…" to fit); the entry under the pointer is selected, a click chooses the selected entry.
#pragma once

#include "navigation/AddressSuggest.h"

#include <QListWidget>
#include <QPair>

class QFontMetrics;

class TSuggestionList final : public QListWidget {
    Q_OBJECT
public:
    explicit TSuggestionList(QWidget* parent = nullptr);

    // The role of an entry's page title (its text is the address).
    static constexpr int TitleRole = Qt::UserRole + 1;

    // Replaces the entries, in the order given (best suggestion first).
    void SetEntries(const TSuggestionEntries& entries);
    // The address and the title as drawn in a row of the width: the title gets what the address
    // leaves, the address at most three fifths when there is a title; each cut with "…" to fit.
    static QPair<QString, QString> ElidedTexts(const QFontMetrics& metrics, const QString& address,
                                               const QString& title, int width);
    // Height of one entry in pixels.
    int ItemHeight() const;

signals:
    // A click on the list: the selected entry's text, empty when none is selected.
    void chosen(const QString& text);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
