// The screen capture window: the frozen primary screen, a selection drawn and adjusted with the mouse,
// eight handles or the arrow keys, annotations drawn inside it, and the selected area put on the
// clipboard when finished. Esc or the close button leave without copying.
#pragma once

#include "tools/CaptureCanvas.h"
#include "tools/CaptureSelection.h"

#include <QDialog>
#include <QVector>

#include <optional>

class QKeyEvent;
class QMouseEvent;
class QPlainTextEdit;
class TCaptureFrame;
class TCapturePicture;
class TCaptureToolPanel;

class TFormScreenCapture : public QDialog {
    Q_OBJECT
public:
    // Two presses on the selection this close together (milliseconds) finish the capture.
    static constexpr int DoublePressInterval = 200;

    // `screen` is the frozen picture; the window covers it exactly.
    explicit TFormScreenCapture(const QImage& screen, QWidget* parent = nullptr);

    const TCaptureCanvas& Canvas() const { return m_canvas; }
    const TCaptureSelection& Selection() const { return m_selection; }
    bool SelectionDone() const { return m_selectionDone; }
    bool AnnotationStarted() const { return m_annotationStarted; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void BuildControls();
    void ImageScreenMouseDown(const QMouseEvent* event);
    void ImageScreenMouseMove(const QMouseEvent* event);
    void ImageScreenMouseUp();
    void ShapeRectMouseDown(const QMouseEvent* event);
    void ShapeRectMouseMove(const QMouseEvent* event);
    void ShapeRectMouseUp(const QMouseEvent* event);
    void HandleMouseDown(QWidget* handle, const QMouseEvent* event);
    void HandleMouseMove(QWidget* handle, const QMouseEvent* event);
    void HandleMouseUp();
    // Returns whether the key was handled (the text box does not see it then).
    bool FormKeyDown(const QKeyEvent* event);
    void FormKeyUp(const QKeyEvent* event);
    void ToolChosen();
    void ToolButtonUndoClick();
    void MemoChange();
    void Finish();

    void PlaceHandles(bool normalize);
    void PlaceToolBar();
    void CommitText();
    // Hides the text box and gives the keyboard back to the window.
    void CloseTextBox();
    TCaptureText PendingText() const;
    void RepaintChanged();

    TCaptureCanvas m_canvas;
    TCaptureSelection m_selection;
    bool m_selectionDone = false;
    bool m_annotationStarted = false;
    std::optional<ulong> m_lastPressTime; // event time of the last press on the selection
    QPoint m_grabPoint;
    QPoint m_selectStart;

    TCapturePicture* ImageScreen = nullptr;
    TCaptureFrame* ShapeRect = nullptr;
    QVector<QWidget*> m_handles; // ShapeLeftTop .. ShapeLeft, tags 1..8
    TCaptureToolPanel* PanelToolBarMain = nullptr;
    QPlainTextEdit* Memo = nullptr;
};

// The toolbar button "截图" (SpeedButtonScreenshot): freezes the primary screen into a capture
// window, unless one is open; where the screen cannot be read, says so instead.
void ShowScreenCapture(QWidget* button);
