// The address suggestion list: ranked entries, hover selection, click to choose.
#include "navigation/SuggestionList.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {

constexpr int kPadding = 4;

// Paints an entry as its address and its title after a gap.
class TEntryDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem background = option;
        initStyleOption(&background, index);
        background.text.clear();
        const QWidget* widget = option.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

        const QRect area = option.rect.adjusted(kPadding, 0, -kPadding, 0);
        const auto texts = TSuggestionList::ElidedTexts(option.fontMetrics, index.data().toString(),
                                                         index.data(TSuggestionList::TitleRole).toString(),
                                                         area.width());
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& palette = option.palette;
        painter->save();
        painter->setPen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter, texts.first);
        if (!texts.second.isEmpty()) {
            const int titleWidth = option.fontMetrics.horizontalAdvance(texts.second);
            painter->setPen(selected ? palette.color(QPalette::HighlightedText)
                                     : palette.color(QPalette::Disabled, QPalette::Text));
            painter->drawText(QRect(area.right() - titleWidth, area.top(), titleWidth + 1, area.height()),
                              Qt::AlignRight | Qt::AlignVCenter, texts.second);
        }
        painter->restore();
    }
};

} // namespace

TSuggestionList::TSuggestionList(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("bsSkinListBoxHistory"));
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setItemDelegate(new TEntryDelegate(this));
    hide();
}

void TSuggestionList::SetEntries(const TSuggestionEntries& entries) {
    clear();
    for (const TSuggestionEntry& entry : entries) {
        auto* item = new QListWidgetItem(entry.Address, this);
        // The title as one line of plain text (the delegate draws it as text, never as markup).
        item->setData(TitleRole, entry.Title.simplified());
    }
}

QPair<QString, QString> TSuggestionList::ElidedTexts(const QFontMetrics& metrics, const QString& address,
                                                     const QString& title, int width) {
    if (title.isEmpty() || title == address)
        return {metrics.elidedText(address, Qt::ElideRight, width), QString()};
    const int gap = metrics.horizontalAdvance(QStringLiteral("    "));
    // An address that fits stays whole (elidedText measures more finely than horizontalAdvance).
    const int addressWidth = std::min(metrics.horizontalAdvance(address), width * 3 / 5);
    const QString shownAddress = addressWidth == metrics.horizontalAdvance(address)
                                     ? address
                                     : metrics.elidedText(address, Qt::ElideRight, addressWidth);
    return {shownAddress, metrics.elidedText(title, Qt::ElideRight, std::max(0, width - addressWidth - gap))};
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
