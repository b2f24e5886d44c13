// The capture's tool panel (see CaptureToolPanel.h) and its 23 x 23 tool pictures.
#include "tools/CaptureToolPanel.h"

#include "tools/CaptureArrow.h"
#include "tools/CaptureColorGrid.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QToolButton>

namespace {

constexpr int kPictureSize = 23;
const QColor kInk(40, 60, 110);

// Picture `index` of the tool pictures: 0 rectangle, 1 undo, 2 pen, 3 close, 4 text, 5 line,
// 6 finish, 7 ellipse, 8..10 the three line widths, 11 arrow.
QIcon ToolPicture(int index) {
    QPixmap pixmap(kPictureSize, kPictureSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    switch (index) {
    case 0:
        painter.drawRect(QRectF(4, 6, 15, 11));
        break;
    case 1: {
        QPainterPath back;
        back.moveTo(8, 9);
        back.cubicTo(16, 5, 21, 11, 16, 17);
        painter.drawPath(back);
        painter.drawLine(QPointF(8, 9), QPointF(11, 5));
        painter.drawLine(QPointF(8, 9), QPointF(12, 12));
        break;
    }
    case 2: {
        QPainterPath stroke;
        stroke.moveTo(4, 17);
        stroke.cubicTo(8, 4, 12, 20, 19, 6);
        painter.drawPath(stroke);
        break;
    }
    case 3:
        painter.setPen(QPen(QColor(190, 30, 30), 2.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(6, 6), QPointF(17, 17));
        painter.drawLine(QPointF(17, 6), QPointF(6, 17));
        break;
    case 4: {
        QFont font = painter.font();
        font.setPixelSize(17);
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(QRect(0, 0, kPictureSize, kPictureSize), Qt::AlignCenter, QStringLiteral("A"));
        break;
    }
    case 5:
        painter.drawLine(QPointF(5, 18), QPointF(18, 5));
        break;
    case 6:
        painter.setPen(QPen(QColor(20, 140, 40), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(QPolygonF({QPointF(5, 12), QPointF(10, 17), QPointF(18, 6)}));
        break;
    case 7:
        painter.drawEllipse(QRectF(3.5, 6, 16, 11));
        break;
    case 8:
    case 9:
    case 10:
        painter.setPen(QPen(kInk, index == 8 ? 1 : index == 9 ? 2.5 : 4, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(4, 11.5), QPointF(19, 11.5));
        break;
    case 11:
        painter.fillPath(CaptureArrowPath(QPointF(5, 18), QPointF(19, 4), 2.5), kInk);
        break;
    default:
        break;
    }
    return QIcon(pixmap);
}

} // namespace

TCaptureToolPanel::TCaptureToolPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("PanelToolBarMain"));
    setFixedSize(PanelWidth, FirstRowHeight);
    setAutoFillBackground(true);
    setFrameShape(QFrame::Box);
    setStyleSheet(QStringLiteral(
        "#PanelToolBarMain { background: #f4f7fc; border: 1px solid #8aa0c8; }"
        "#ToolBar1 QToolButton, #PanelWide QToolButton { border: 1px solid transparent;"
        " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 rgb(198, 211, 239), stop:1 rgb(135, "
        "206, 235)); }"
        "#ToolBar1 QToolButton:hover, #PanelWide QToolButton:hover { border-color: #4a6ea9; }"
        "#ToolBar1 QToolButton:checked, #PanelWide QToolButton:checked { border-color: #24457a;"
        " background: rgb(150, 180, 230); }"));

    auto* toolBar = new QWidget(this);
    toolBar->setObjectName(QStringLiteral("ToolBar1"));
    toolBar->setGeometry(1, 1, PanelWidth - 2, FirstRowHeight - 2);
    auto* row = new QHBoxLayout(toolBar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0); // nine 30-pixel buttons and two gaps fill the row
    struct TToolRow {
        const char* Name;
        int Picture;
        const char* Hint;
    };
    static const TToolRow kTools[] = {
        {"ToolButton1", 0, QT_TR_NOOP("矩形")}, {"ToolButton2", 7, QT_TR_NOOP("椭圆")},
        {"ToolButton3", 5, QT_TR_NOOP("直线")}, {"ToolButton6", 11, QT_TR_NOOP("箭头")},
        {"ToolButton4", 2, QT_TR_NOOP("画笔")}, {"ToolButton5", 4, QT_TR_NOOP("文字")},
    };
    for (const TToolRow& tool : kTools) {
        QToolButton* button = AddButton(toolBar, tool.Name, tool.Picture, tr(tool.Hint), true);
        connect(button, &QToolButton::clicked, this, [this, button] { ChooseTool(button); });
        m_tools.append(button);
    }
    row->addSpacing(5);
    QToolButton* undo = AddButton(toolBar, "ToolButtonUndo", 1, tr("撤销"), false);
    connect(undo, &QToolButton::clicked, this, &TCaptureToolPanel::undoClicked);
    QToolButton* close = AddButton(toolBar, "ToolButtonClose", 3, tr("退出截图"), false);
    connect(close, &QToolButton::clicked, this, &TCaptureToolPanel::closeClicked);
    row->addSpacing(5);
    QToolButton* save = AddButton(toolBar, "ToolButtonSave", 6, tr("完成截图"), false);
    connect(save, &QToolButton::clicked, this, &TCaptureToolPanel::saveClicked);
    row->addStretch(1);

    m_panelWide = new QWidget(this);
    m_panelWide->setObjectName(QStringLiteral("PanelWide"));
    m_panelWide->setGeometry(1, FirstRowHeight + 3, 3 * 31, 29);
    auto* wideRow = new QHBoxLayout(m_panelWide);
    wideRow->setContentsMargins(0, 0, 0, 0);
    wideRow->setSpacing(1);
    const char* const wideNames[] = {"ToolButtonWide1", "ToolButtonWide2", "ToolButtonWide3"};
    for (int index = 0; index < 3; ++index) {
        QToolButton* button = AddButton(m_panelWide, wideNames[index], 8 + index, QString(), true);
        connect(button, &QToolButton::clicked, this, [this, button] { ChooseWidth(button); });
        m_widths.append(button);
    }
    m_widths[1]->setChecked(true);

    m_panelFontSize = new QWidget(this);
    m_panelFontSize->setObjectName(QStringLiteral("PanelFontSize"));
    m_panelFontSize->setGeometry(4, FirstRowHeight + 6, 80, 24);
    m_fontSize = new QComboBox(m_panelFontSize);
    m_fontSize->setObjectName(QStringLiteral("ComboBoxFontSize"));
    m_fontSize->setGeometry(0, 0, 70, 22);
    m_fontSize->addItems({QStringLiteral("8"), QStringLiteral("9"), QStringLiteral("10"),
                          QStringLiteral("11"), QStringLiteral("12"), QStringLiteral("14"),
                          QStringLiteral("16"), QStringLiteral("18"), QStringLiteral("20")});
    m_fontSize->setCurrentIndex(1);
    m_fontSize->setFocusPolicy(Qt::NoFocus); // the open text box keeps the keyboard
    connect(m_fontSize, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this] { emit fontSizeChosen(FontSize()); });
    m_panelFontSize->hide();

    m_colors = new TCaptureColorGrid(this);
    m_colors->move(PanelWidth - m_colors->width() - 3, FirstRowHeight);
    connect(m_colors, &TCaptureColorGrid::clicked, this,
            [this] { emit colorChosen(m_colors->ForegroundColor()); });
}

QToolButton* TCaptureToolPanel::AddButton(QWidget* row, const char* name, int picture, const QString& hint,
                                          bool checkable) {
    auto* button = new QToolButton(row);
    button->setObjectName(QLatin1String(name));
    button->setFixedSize(30, 29);
    button->setIcon(ToolPicture(picture));
    button->setIconSize(QSize(kPictureSize, kPictureSize));
    button->setToolTip(hint);
    button->setCheckable(checkable);
    button->setFocusPolicy(Qt::NoFocus);
    row->layout()->addWidget(button);
    return button;
}

void TCaptureToolPanel::ChooseTool(QToolButton* button) {
    // The click has toggled this button; the others are released.
    for (QToolButton* other : m_tools)
        if (other != button)
            other->setChecked(false);
    const bool text = button == m_tools.last() && button->isChecked();
    m_panelWide->setVisible(!text);
    m_panelFontSize->setVisible(text);
    ShowSecondRow();
    emit toolChosen();
}

void TCaptureToolPanel::ChooseWidth(QToolButton* button) {
    for (QToolButton* other : m_widths)
        if (other != button)
            other->setChecked(false);
}

void TCaptureToolPanel::ShowSecondRow() {
    setFixedSize(PanelWidth, BothRowsHeight);
}

TCaptureTool TCaptureToolPanel::Tool() const {
    for (int index = 0; index < m_tools.size(); ++index)
        if (m_tools[index]->isChecked())
            return static_cast<TCaptureTool>(index + 1);
    return TCaptureTool::None;
}

int TCaptureToolPanel::LineWidth() const {
    for (int index = 0; index < m_widths.size(); ++index)
        if (m_widths[index]->isChecked())
            return index + 1;
    return 1;
}

qreal TCaptureToolPanel::ArrowWidth() const {
    static const qreal kArrowWidths[] = {6.6, 8, 10};
    for (int index = 0; index < m_widths.size(); ++index)
        if (m_widths[index]->isChecked())
            return kArrowWidths[index];
    return 6;
}

TCaptureStyle TCaptureToolPanel::Style() const {
    return {m_colors->ForegroundColor(), LineWidth(), ArrowWidth()};
}

int TCaptureToolPanel::FontSize() const {
    return m_fontSize->currentText().toInt();
}
