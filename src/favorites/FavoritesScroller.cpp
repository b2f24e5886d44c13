// The scrolling row of the favorites bar.
#include "favorites/FavoritesScroller.h"

#include <QBoxLayout>
#include <QEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

namespace {
constexpr int ScrollStepPixels = 60;
} // namespace

TFavoritesScroller::TFavoritesScroller(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FavoritesScroller"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    m_left = MakeArrow("FavScrollLeft", Qt::LeftArrow, -1);
    m_right = MakeArrow("FavScrollRight", Qt::RightArrow, 1);

    m_area = new QScrollArea(this);
    m_area->setFrameShape(QFrame::NoFrame);
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_area->setWidgetResizable(true);
    m_area->setStyleSheet(
        QStringLiteral("QScrollArea, QScrollArea > QWidget > QWidget { background: transparent; }"));
    MakeContent();

    row->addWidget(m_left);
    row->addWidget(m_area, 1);
    row->addWidget(m_right);
    m_left->hide();
    m_right->hide();
}

void TFavoritesScroller::MakeContent() {
    m_content = new QWidget;
    m_content->setObjectName(QStringLiteral("FavoritesRow"));
    m_row = new QHBoxLayout(m_content);
    m_row->setContentsMargins(0, 0, 0, 0);
    m_row->setSpacing(0);
    m_row->addStretch(1);
    m_area->setWidget(m_content); // deletes the row it replaces, with its buttons
    m_content->installEventFilter(this);
}

void TFavoritesScroller::ClearButtons() {
    MakeContent();
}

QToolButton* TFavoritesScroller::MakeArrow(const char* name, Qt::ArrowType arrow, int direction) {
    auto* button = new QToolButton(this);
    button->setObjectName(QLatin1String(name));
    button->setArrowType(arrow);
    button->setAutoRaise(true);
    button->setAutoRepeat(true);
    button->setAutoRepeatInterval(100);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedWidth(16);
    connect(button, &QToolButton::clicked, this, [this, direction] { ScrollStep(direction); });
    return button;
}

int TFavoritesScroller::ButtonCount() const {
    return m_row->count() - 1;
}

void TFavoritesScroller::InsertButton(int position, QWidget* button) {
    m_row->insertWidget(qBound(0, position, ButtonCount()), button);
}

void TFavoritesScroller::ScrollStep(int direction) {
    QScrollBar* bar = m_area->horizontalScrollBar();
    bar->setValue(bar->value() + direction * ScrollStepPixels);
}

void TFavoritesScroller::UpdateArrows() {
    const bool overflows = m_row->minimumSize().width() > width();
    m_left->setVisible(overflows);
    m_right->setVisible(overflows);
}

void TFavoritesScroller::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    UpdateArrows();
}

void TFavoritesScroller::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Buttons added while the row was hidden (a rebuild) were laid out in the width the row had
    // then, on top of one another, and the row's later widening does not lay them out again by
    // itself: the row is laid out anew in the width it has now.
    m_row->invalidate();
}

bool TFavoritesScroller::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_content && event->type() == QEvent::LayoutRequest)
        UpdateArrows();
    return QWidget::eventFilter(watched, event);
}
