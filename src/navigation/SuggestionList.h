// The floating list of address suggestions under the address bar (bsSkinListBoxHistory): the
// entry under the pointer is selected, a click chooses the selected entry.
#pragma once

#include <QListWidget>

class TSuggestionList final : public QListWidget {
    Q_OBJECT
public:
    explicit TSuggestionList(QWidget* parent = nullptr);

    // Replaces the entries with the addresses, in the order given (best suggestion first).
    void SetEntries(const QStringList& addresses);
    // Height of one entry in pixels.
    int ItemHeight() const;

signals:
    // A click on the list: the selected entry's text, empty when none is selected.
    void chosen(const QString& text);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
