// The owner-drawn tab strip and its mouse handling.
#include "browser/TabStrip.h"

#include "browser/BrowserTab.h"
#include "browser/TabRegistry.h"
#include "common/TextFit.h"

#include <QApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QIcon>
#include <QImageReader>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <QToolTip>

namespace {
const QColor StripBackground(0xE3, 0xE7, 0xEC);
const QColor ActiveTab(0xFF, 0xFF, 0xFF);
const QColor InactiveTab(0xEE, 0xF1, 0xF4);
const QColor HoverTab(0xF6, 0xF8, 0xFA);
const QColor TabBorder(0xC5, 0xCB, 0xD3);
const QColor Accent(0x2D, 0x7F, 0xF9);

void DrawDefaultIcon(QPainter& painter, const QRectF& box) {
    // A small globe.
    painter.setPen(QPen(QColor(0x6B, 0x7A, 0x8C), 1.2));
    painter.setBrush(Qt::NoBrush);
    const QRectF globe = box.adjusted(1.5, 1.5, -1.5, -1.5);
    painter.drawEllipse(globe);
    painter.drawEllipse(globe.adjusted(globe.width() * 0.28, 0, -globe.width() * 0.28, 0));
    painter.drawLine(QPointF(globe.left(), globe.center().y()), QPointF(globe.right(), globe.center().y()));
}

void DrawOptionsIcon(QPainter& painter, const QRectF& box) {
    // A gear: a ring with eight teeth.
    painter.save();
    painter.translate(box.center());
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x55, 0x63, 0x75));
    for (int i = 0; i < 8; ++i) {
        painter.drawRect(QRectF(-1.5, -8, 3, 4));
        painter.rotate(45);
    }
    painter.drawEllipse(QPointF(0, 0), 5.5, 5.5);
    painter.setBrush(ActiveTab);
    painter.drawEllipse(QPointF(0, 0), 2.3, 2.3);
    painter.restore();
}

void DrawLoadingIcon(QPainter& painter, const QRectF& box, int angle) {
    const QRectF ring = box.adjusted(2, 2, -2, -2);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0xD5, 0xDB, 0xE3), 2));
    painter.drawEllipse(ring);
    painter.setPen(QPen(Accent, 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(ring, -angle * 16, 100 * 16);
}

void DrawCloseButton(QPainter& painter, const QRect& box, bool hot) {
    const QRectF area(box);
    if (hot) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xE8, 0x4A, 0x3F));
        painter.drawEllipse(area);
    }
    painter.setPen(QPen(hot ? Qt::white : QColor(0x70, 0x78, 0x84), 1.4, Qt::SolidLine, Qt::RoundCap));
    const QRectF cross = area.adjusted(3.5, 3.5, -3.5, -3.5);
    painter.drawLine(cross.topLeft(), cross.bottomRight());
    painter.drawLine(cross.topRight(), cross.bottomLeft());
}
} // namespace

TTabStrip::TTabStrip(const TTabRegistry& registry, QWidget* parent) : QWidget(parent), m_registry(registry) {
    setObjectName(QStringLiteral("PageControl1"));
    setMouseTracking(true);
    setFixedHeight(TabHeight + 3);
    setAttribute(Qt::WA_OpaquePaintEvent);

    m_panelAdd = new QWidget(this);
    m_panelAdd->setObjectName(QStringLiteral("PanelAdd"));
    m_panelAdd->setFixedSize(20, 20);
    m_newTabButton = new QToolButton(m_panelAdd);
    m_newTabButton->setObjectName(QStringLiteral("bsSkinSpeedButtonNewTab"));
    m_newTabButton->setToolTip(tr("打开新的标签页"));
    m_newTabButton->setAutoRaise(true);
    m_newTabButton->setText(QStringLiteral("+"));
    m_newTabButton->setGeometry(0, 0, 20, 20);
    connect(m_newTabButton, &QToolButton::clicked, this, &TTabStrip::newTabClicked);
    PlaceNewTabButton();
}

int TTabStrip::TabWidthFor(int tabCount, int stripWidth) {
    if (tabCount <= 0 || tabCount * DefaultTabWidth < stripWidth - 90)
        return DefaultTabWidth;
    return qMax(1, (stripWidth - 90) / tabCount);
}

QString TTabStrip::FitCaption(const QString& caption, const QFontMetrics& metrics, int tabWidth) {
    QString text = caption.trimmed();
    if (text.isEmpty())
        text = tr("新页面");
    return TextFit::Prefix(text, metrics, tabWidth - 19 - 25);
}

void TTabStrip::UpdateTabWidth() {
    m_tabWidth = TabWidthFor(m_registry.Count(), width());
    PlaceNewTabButton();
    update();
}

void TTabStrip::PlaceNewTabButton() {
    if (m_closing)
        return;
    m_panelAdd->move(TabOffset + m_registry.Count() * m_tabWidth + 4,
                     (TabHeight - m_panelAdd->height()) / 2 + 3);
}

void TTabStrip::SetCurrentIndex(int index) {
    if (index < -1 || index >= m_registry.Count() || index == m_current)
        return;
    m_current = index;
    update();
    emit currentChanged(index);
}

void TTabStrip::SetCurrentIndexQuietly(int index) {
    m_current = index;
    update();
}

QRect TTabStrip::TabRect(int index) const {
    return QRect(TabOffset + index * m_tabWidth, height() - TabHeight, m_tabWidth, TabHeight);
}

QRect TTabStrip::CloseButtonRect(int index) const {
    const QRect tab = TabRect(index);
    return QRect(tab.left() + m_tabWidth - 19, tab.top() + (TabHeight - CloseButtonSize) / 2, CloseButtonSize,
                 CloseButtonSize);
}

int TTabStrip::TabAt(const QPoint& point) const {
    for (int i = 0; i < m_registry.Count(); ++i)
        if (TabRect(i).contains(point))
            return i;
    return -1;
}

void TTabStrip::AdvanceLoadingIcon() {
    m_loadingAngle = (m_loadingAngle + 45) % 360;
    update();
}

void TTabStrip::ForgetIcons() {
    m_icons.clear();
    update();
}

QPixmap TTabStrip::FavIcon(const QString& file) {
    if (file.isEmpty())
        return QPixmap();
    const auto cached = m_icons.constFind(file);
    if (cached != m_icons.constEnd())
        return cached.value();
    QPixmap pixmap;
    if (QFileInfo::exists(file)) {
        // An icon file first; any other picture format is scaled to 16 pixels.
        const QIcon icon(file);
        if (!icon.availableSizes().isEmpty())
            pixmap = icon.pixmap(16, 16);
        if (pixmap.isNull()) {
            QImageReader reader(file);
            const QImage image = reader.read();
            if (!image.isNull())
                pixmap =
                    QPixmap::fromImage(image.scaled(16, 16, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        }
    }
    m_icons.insert(file, pixmap); // a null pixmap remembers that the default icon is drawn
    return pixmap;
}

void TTabStrip::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(rect(), StripBackground);
    if (m_closing)
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < m_registry.Count(); ++i)
        if (i != m_current)
            DrawTab(painter, i);
    painter.setPen(TabBorder);
    painter.drawLine(0, height() - 1, width(), height() - 1);
    if (m_current >= 0 && m_current < m_registry.Count())
        DrawTab(painter, m_current); // the active tab covers the base line
}

void TTabStrip::DrawTab(QPainter& painter, int index) {
    const TBrowserTab* tab = m_registry.At(index);
    const QRect box = TabRect(index);
    const bool active = index == m_current;
    const bool hover = box.contains(m_mousePoint);

    QPainterPath shape;
    const QRectF body = QRectF(box).adjusted(0.5, 0.5, -0.5, 0.5);
    shape.moveTo(body.bottomLeft());
    shape.lineTo(body.left(), body.top() + 5);
    shape.quadTo(body.topLeft(), QPointF(body.left() + 5, body.top()));
    shape.lineTo(body.right() - 5, body.top());
    shape.quadTo(body.topRight(), QPointF(body.right(), body.top() + 5));
    shape.lineTo(body.bottomRight());
    painter.setPen(QPen(TabBorder, 1));
    painter.setBrush(active ? ActiveTab : (hover ? HoverTab : InactiveTab));
    painter.drawPath(shape);
    if (active) {
        painter.setPen(QPen(Accent, 2));
        painter.drawLine(QPointF(body.left() + 4, body.top() + 1), QPointF(body.right() - 4, body.top() + 1));
    }

    // Icon at (5, 7): loading, options page, the page's favicon or the default icon.
    const QRectF icon(box.left() + 5, box.top() + 7, 16, 16);
    if (tab->Idle == 0 && tab->PageKind != 1) {
        DrawLoadingIcon(painter, icon, m_loadingAngle);
    } else if (tab->PageKind == 1) {
        DrawOptionsIcon(painter, icon);
    } else {
        // A sleeping tab's icon is drawn faded.
        painter.save();
        if (tab->Sleep != TTabSleep::Awake)
            painter.setOpacity(0.4);
        const QPixmap favicon = FavIcon(tab->FaviconFile);
        if (favicon.isNull())
            DrawDefaultIcon(painter, icon);
        else
            painter.drawPixmap(icon.toRect(), favicon);
        painter.restore();
    }

    // Caption from x 25, cut to fit before the close button.
    const QFontMetrics metrics(font());
    const QString caption = FitCaption(tab->Caption, metrics, m_tabWidth);
    painter.setPen(active ? QColor(0x1F, 0x25, 0x2D) : QColor(0x4A, 0x52, 0x5E));
    const int textTop = box.top() + (TabHeight - metrics.height()) / 2 + 2;
    painter.drawText(QRect(box.left() + 25, textTop, m_tabWidth - 44, metrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, caption);

    const QRect close = CloseButtonRect(index);
    DrawCloseButton(painter, close, close.contains(m_mousePoint));
}

void TTabStrip::contextMenuEvent(QContextMenuEvent* event) {
    const int index = TabAt(event->pos());
    if (index >= 0)
        emit tabMenuRequested(index, event->globalPos());
}

void TTabStrip::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    UpdateTabWidth();
}

void TTabStrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const int index = TabAt(event->pos());
    m_pressOnTab = index >= 0;
    m_dragging = false;
    if (index >= 0)
        SetCurrentIndex(index);
    // A second left press within 300 ms on the same tab (or again on the empty strip) closes the
    // active tab; presses on two different tabs are fast switching. Otherwise remember this press.
    const qint64 now = static_cast<qint64>(event->timestamp());
    if (m_hasLastPress && index == m_lastPressIndex && now - m_lastPressTime >= 0 &&
        now - m_lastPressTime < DoubleClickMs) {
        m_hasLastPress = false;
        m_pressOnTab = false;
        if (m_current >= 0)
            emit closeRequested(m_current);
        return;
    }
    m_hasLastPress = true;
    m_lastPressTime = now;
    m_lastPressIndex = index;
    m_pressPoint = event->pos();
}

void TTabStrip::mouseMoveEvent(QMouseEvent* event) {
    const QPoint previous = m_mousePoint;
    m_mousePoint = event->pos();
    if (TabAt(previous) != TabAt(m_mousePoint) || previous != m_mousePoint)
        update();
    const bool onCloseButton = [this] {
        for (int i = 0; i < m_registry.Count(); ++i)
            if (CloseButtonRect(i).contains(m_mousePoint))
                return true;
        return false;
    }();
    if (event->buttons() == Qt::LeftButton && m_pressOnTab && !onCloseButton && !m_dragging &&
        (m_mousePoint - m_pressPoint).manhattanLength() >= QApplication::startDragDistance()) {
        m_dragging = true;
        setCursor(Qt::DragMoveCursor);
    }
}

void TTabStrip::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint point = event->pos();
    if (event->button() == Qt::LeftButton) {
        m_pressOnTab = false;
        if (m_dragging) {
            // Dropping moves the active tab to the position of the tab under the point.
            m_dragging = false;
            unsetCursor();
            const int target = TabAt(point);
            if (target >= 0 && m_current >= 0 && target != m_current)
                emit tabMoved(m_current, target);
            return;
        }
        if (m_current >= 0 && CloseButtonRect(m_current).contains(point))
            emit closeRequested(m_current);
    } else if (event->button() == Qt::MiddleButton) {
        const int index = TabAt(point);
        if (index >= 0)
            emit closeRequested(index);
    }
}

void TTabStrip::leaveEvent(QEvent* event) {
    m_mousePoint = QPoint(-1, -1);
    update();
    QWidget::leaveEvent(event);
}

bool TTabStrip::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        // The hint is the caption of the tab under the mouse, shown as the plain text it is.
        auto* help = static_cast<QHelpEvent*>(event);
        const int index = TabAt(help->pos());
        if (index >= 0)
            QToolTip::showText(help->globalPos(),
                               TextFit::PlainToolTip(m_registry.At(index)->Caption.trimmed()), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}
