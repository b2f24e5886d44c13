// The capture's tool panel: the first row holds the six drawing tools, undo, close and finish;
// the second row (shown once a tool is chosen) the line widths or the text size, and the colours.
#pragma once

#include "tools/CaptureCanvas.h"

#include <QFrame>
#include <QVector>

class QComboBox;
class QToolButton;
class TCaptureColorGrid;

class TCaptureToolPanel : public QFrame {
    Q_OBJECT
public:
    static constexpr int PanelWidth = 292;
    static constexpr int FirstRowHeight = 31;
    static constexpr int BothRowsHeight = 68;

    explicit TCaptureToolPanel(QWidget* parent = nullptr);

    // The tool whose button is down; None when none is.
    TCaptureTool Tool() const;
    bool ToolActive() const { return Tool() != TCaptureTool::None; }
    // The current colour and widths.
    TCaptureStyle Style() const;
    // The chosen text size in points.
    int FontSize() const;
    // Both rows from the first choice of a tool on.
    void ShowSecondRow();

signals:
    // A tool button was pressed (its state has already changed).
    void toolChosen();
    void undoClicked();
    void closeClicked();
    void saveClicked();
    void colorChosen(const QColor& color);
    void fontSizeChosen(int points);

private:
    QToolButton* AddButton(QWidget* row, const char* name, int picture, const QString& hint, bool checkable);
    void ChooseTool(QToolButton* button);
    void ChooseWidth(QToolButton* button);
    int LineWidth() const;
    qreal ArrowWidth() const;

    QVector<QToolButton*> m_tools;  // in the order of TCaptureTool, from Rectangle on
    QVector<QToolButton*> m_widths; // ToolButtonWide1..3
    QWidget* m_panelWide = nullptr;
    QWidget* m_panelFontSize = nullptr;
    QComboBox* m_fontSize = nullptr;
    TCaptureColorGrid* m_colors = nullptr;
};
