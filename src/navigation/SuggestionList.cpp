// The address suggestion list: ranked entries, hover selection, click to choose.
#include "navigation/SuggestionList.h"

#include <QMouseEvent>

TSuggestionList::TSuggestionList(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("bsSkinListBoxHistory"));
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    hide();
}

void TSuggestionList::SetEntries(const QStringList& addresses) {
    clear();
    addItems(addresses);
}

int TSuggestionList::ItemHeight() const {
    if (count() > 0) {
        const int height = sizeHintForRow(0);
        if (height > 0)
            return height;
    }
    return fontMetrics().height() + 6;
}

void TSuggestionList::mouseMoveEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->pos());
    if (index.isValid())
        setCurrentRow(index.row());
    QListWidget::mouseMoveEvent(event);
}

void TSuggestionList::mouseReleaseEvent(QMouseEvent* event) {
    QListWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    hide();
    const QListWidgetItem* item = currentItem();
    emit chosen(item ? item->text() : QString());
}
