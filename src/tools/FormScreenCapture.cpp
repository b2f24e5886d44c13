// The screen capture window (see FormScreenCapture.h). The drawing itself is TCaptureCanvas's, the
// selection's geometry TCaptureSelection's; this file turns mouse and keys into their steps.
#include "tools/FormScreenCapture.h"

#include "common/Dialogs.h"
#include "tools/CaptureFrame.h"
#include "tools/CapturePicture.h"
#include "tools/CaptureTextBox.h"
#include "tools/CaptureToolPanel.h"
#include "tools/ScreenCapture.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>

namespace {

constexpr int kJpegQuality = 70;

bool OnlyLeftButton(const QMouseEvent* event) {
    return event->buttons() == Qt::LeftButton && event->modifiers() == Qt::NoModifier;
}

Qt::CursorShape HandleCursor(int tag) {
    switch (tag) {
    case TCaptureSelection::LeftTop:
    case TCaptureSelection::RightBottom:
        return Qt::SizeFDiagCursor;
    case TCaptureSelection::RightTop:
    case TCaptureSelection::LeftBottom:
        return Qt::SizeBDiagCursor;
    case TCaptureSelection::Top:
    case TCaptureSelection::Bottom:
        return Qt::SizeVerCursor;
    default:
        return Qt::SizeHorCursor;
    }
}

// The selection as a widget rectangle, also while its width or height is negative.
QRect ShownRect(const TCaptureSelection& selection) {
    const int left = qMin(selection.X(), selection.X() + selection.Width());
    const int top = qMin(selection.Y(), selection.Y() + selection.Height());
    return QRect(left, top, qAbs(selection.Width()), qAbs(selection.Height()));
}

// The picture as the clipboard gets it: through JPEG at quality 70, as a bitmap.
QImage ThroughJpeg(const QImage& image) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(kJpegQuality);
    if (!writer.write(image))
        return image;
    buffer.close();
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    const QImage decoded = reader.read();
    return decoded.isNull() ? image : decoded;
}

} // namespace

TFormScreenCapture::TFormScreenCapture(const QImage& screen, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_canvas(screen),
      m_selection(screen.size()) {
    setObjectName(QStringLiteral("TFormScreenCapture"));
    setWindowTitle(tr("截图"));
    setFixedSize(screen.size());
    BuildControls();
}

void TFormScreenCapture::BuildControls() {
    ImageScreen = new TCapturePicture(&m_canvas.Picture(), this);
    ImageScreen->setGeometry(rect());
    ImageScreen->installEventFilter(this);

    ShapeRect = new TCaptureFrame(this);
    ShapeRect->installEventFilter(this);
    ShapeRect->hide();

    const char* const handleNames[] = {"ShapeLeftTop",     "ShapeTop",    "ShapeRightTop",   "ShapeRight",
                                       "ShapeRightBottom", "ShapeBottom", "ShapeLeftBottom", "ShapeLeft"};
    for (int tag = 1; tag <= TCaptureSelection::HandleCount; ++tag) {
        auto* handle = new QWidget(this);
        handle->setObjectName(QLatin1String(handleNames[tag - 1]));
        handle->setProperty("Tag", tag);
        handle->setFixedSize(TCaptureSelection::HandleSize, TCaptureSelection::HandleSize);
        handle->setAutoFillBackground(true);
        QPalette palette = handle->palette();
        palette.setColor(QPalette::Window, palette.color(QPalette::Highlight));
        handle->setPalette(palette);
        handle->setCursor(HandleCursor(tag));
        handle->installEventFilter(this);
        handle->hide();
        m_handles.append(handle);
    }

    PanelToolBarMain = new TCaptureToolPanel(this);
    PanelToolBarMain->hide();
    connect(PanelToolBarMain, &TCaptureToolPanel::toolChosen, this, &TFormScreenCapture::ToolChosen);
    connect(PanelToolBarMain, &TCaptureToolPanel::undoClicked, this,
            &TFormScreenCapture::ToolButtonUndoClick);
    connect(PanelToolBarMain, &TCaptureToolPanel::closeClicked, this, &QDialog::reject);
    connect(PanelToolBarMain, &TCaptureToolPanel::saveClicked, this, &TFormScreenCapture::Finish);

    Memo = new QPlainTextEdit(this);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setFrameShape(QFrame::NoFrame);
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo->document()->setDocumentMargin(0); // the text lands where it is drawn on commit
    QFont font(QStringLiteral("宋体"));
    font.setPointSize(PanelToolBarMain->FontSize());
    Memo->setFont(font);
    QPalette palette = Memo->palette();
    palette.setColor(QPalette::Text, Qt::black);
    Memo->setPalette(palette);
    Memo->installEventFilter(this);
    Memo->hide();
    connect(Memo, &QPlainTextEdit::textChanged, this, &TFormScreenCapture::MemoChange);
    connect(PanelToolBarMain, &TCaptureToolPanel::colorChosen, this, [this](const QColor& color) {
        QPalette textPalette = Memo->palette();
        textPalette.setColor(QPalette::Text, color);
        Memo->setPalette(textPalette);
        // The text box repaints only around its cursor on a palette change: the whole text is
        // shown in the colour it will be committed in.
        Memo->viewport()->update();
    });
    connect(PanelToolBarMain, &TCaptureToolPanel::fontSizeChosen, this, [this](int points) {
        QFont memoFont = Memo->font();
        memoFont.setPointSize(points);
        Memo->setFont(memoFont);
        MemoChange();
    });
}

bool TFormScreenCapture::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == Memo) {
        // The window sees the text box's keys first; a closed box takes none.
        if (type == QEvent::KeyPress)
            return FormKeyDown(static_cast<QKeyEvent*>(event)) || !Memo->isVisible();
        if (type == QEvent::KeyRelease) {
            // Taken here: the text box would pass it on to the window a second time.
            FormKeyUp(static_cast<QKeyEvent*>(event));
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }
    const bool press = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
    const bool move = type == QEvent::MouseMove;
    const bool release = type == QEvent::MouseButtonRelease;
    if (!press && !move && !release)
        return QDialog::eventFilter(watched, event);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (watched == ImageScreen) {
        if (type == QEvent::MouseButtonDblClick)
            Finish();
        else if (press)
            ImageScreenMouseDown(mouse);
        else if (move)
            ImageScreenMouseMove(mouse);
        else
            ImageScreenMouseUp();
        return true;
    }
    if (watched == ShapeRect) {
        // A double-click's second press is a press like the first (the 200 ms rule decides).
        if (press)
            ShapeRectMouseDown(mouse);
        else if (move)
            ShapeRectMouseMove(mouse);
        else
            ShapeRectMouseUp(mouse);
        return true;
    }
    auto* handle = qobject_cast<QWidget*>(watched);
    if (handle && m_handles.contains(handle)) {
        if (press)
            HandleMouseDown(handle, mouse);
        else if (move)
            HandleMouseMove(handle, mouse);
        else
            HandleMouseUp();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFormScreenCapture::ImageScreenMouseDown(const QMouseEvent* event) {
    if (m_selectionDone)
        return;
    m_selectStart = event->pos();
    m_selection.Start(m_selectStart);
    ShapeRect->setGeometry(ShownRect(m_selection));
    ShapeRect->show();
}

void TFormScreenCapture::ImageScreenMouseMove(const QMouseEvent* event) {
    if (m_selectionDone || !OnlyLeftButton(event) || !ShapeRect->isVisible())
        return;
    m_selection.StretchTo(event->pos());
    ShapeRect->setGeometry(ShownRect(m_selection));
}

void TFormScreenCapture::ImageScreenMouseUp() {
    if (m_selectionDone || !ShapeRect->isVisible())
        return;
    ImageScreen->setCursor(Qt::ArrowCursor);
    m_selection.Normalize();
    // A click without a drag selects nothing: the picture keeps waiting for a selection.
    if (m_selection.IsEmpty()) {
        ShapeRect->hide();
        ImageScreen->setCursor(Qt::CrossCursor);
        return;
    }
    m_selectionDone = true;
    PlaceHandles(true);
    PlaceToolBar();
    PanelToolBarMain->show();
    PanelToolBarMain->raise();
}

void TFormScreenCapture::ShapeRectMouseDown(const QMouseEvent* event) {
    const ulong now = event->timestamp();
    if (m_lastPressTime && now - *m_lastPressTime <= DoublePressInterval) {
        Finish();
        return;
    }
    m_lastPressTime = now;
    m_canvas.Press(m_selection.Rect(), event->pos());
}

void TFormScreenCapture::ShapeRectMouseMove(const QMouseEvent* event) {
    const bool toolActive = PanelToolBarMain->ToolActive();
    if (event->buttons() == Qt::NoButton) {
        if (m_annotationStarted)
            ShapeRect->setCursor(toolActive ? Qt::CrossCursor : Qt::ArrowCursor);
        return;
    }
    if (!OnlyLeftButton(event))
        return;
    if (toolActive)
        m_annotationStarted = true;
    if (m_annotationStarted) {
        if (toolActive) {
            m_canvas.Drag(PanelToolBarMain->Tool(), PanelToolBarMain->Style(), event->pos());
            RepaintChanged();
        }
        return;
    }
    const QPoint shift = event->pos() - m_canvas.StartPoint();
    m_selection.MoveBy(shift.x(), shift.y());
    PlaceHandles(false);
    PlaceToolBar();
}

void TFormScreenCapture::ShapeRectMouseUp(const QMouseEvent* event) {
    if (!m_annotationStarted)
        return;
    ShapeRect->setCursor(Qt::ArrowCursor);
    for (QWidget* handle : m_handles)
        handle->setCursor(Qt::ArrowCursor);
    const TCaptureTool tool = PanelToolBarMain->Tool();
    const bool completed = m_canvas.Release(tool, PanelToolBarMain->Style(), event->pos(), PendingText());
    RepaintChanged();
    if (completed && tool == TCaptureTool::Text) {
        // The old text is on the picture now; a new empty box opens where the press was.
        Memo->clear();
        Memo->setGeometry(QRect(m_selection.Rect().topLeft() + m_canvas.StartPoint(), QSize(50, 20)));
        Memo->show();
        Memo->raise();
        Memo->setFocus();
    }
}

void TFormScreenCapture::HandleMouseDown(QWidget*, const QMouseEvent* event) {
    if (m_annotationStarted)
        return;
    m_grabPoint = event->pos();
    PanelToolBarMain->hide();
}

void TFormScreenCapture::HandleMouseMove(QWidget* handle, const QMouseEvent* event) {
    if (m_annotationStarted || !OnlyLeftButton(event))
        return;
    const QPoint pos = handle->pos() + event->pos() - m_grabPoint;
    handle->move(pos);
    m_selection.DragHandle(handle->property("Tag").toInt(), pos);
    PlaceHandles(false);
}

void TFormScreenCapture::HandleMouseUp() {
    if (m_annotationStarted)
        return;
    PlaceHandles(true);
    PlaceToolBar();
    PanelToolBarMain->show();
}

void TFormScreenCapture::keyPressEvent(QKeyEvent* event) {
    if (!FormKeyDown(event))
        QDialog::keyPressEvent(event);
}

void TFormScreenCapture::keyReleaseEvent(QKeyEvent* event) {
    FormKeyUp(event);
    QDialog::keyReleaseEvent(event);
}

bool TFormScreenCapture::FormKeyDown(const QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        reject();
        return true;
    }
    // Ctrl+Z is the capture's undo (on release), not the text box's own.
    if (event->key() == Qt::Key_Z && event->modifiers() == Qt::ControlModifier)
        return true;
    // Once drawing has started the selection stays where it is; so it does before it exists.
    if (m_annotationStarted || !m_selectionDone)
        return false;
    const bool arrow = m_selection.StepKey(event->key());
    PlaceHandles(false);
    PlaceToolBar();
    return arrow;
}

void TFormScreenCapture::FormKeyUp(const QKeyEvent* event) {
    if (event->key() == Qt::Key_Z && event->modifiers() == Qt::ControlModifier)
        ToolButtonUndoClick();
}

void TFormScreenCapture::ToolChosen() {
    CommitText();
    CloseTextBox();
    PlaceToolBar();
}

void TFormScreenCapture::ToolButtonUndoClick() {
    // Text still in the open box is the last step: it goes without being drawn.
    const bool typed = Memo->isVisible() && !Memo->toPlainText().isEmpty();
    Memo->clear();
    CloseTextBox();
    if (!typed && m_canvas.Undo())
        RepaintChanged();
}

void TFormScreenCapture::CloseTextBox() {
    Memo->hide();
    // Hiding leaves the keyboard on the box when nothing else on the window takes it.
    setFocus();
}

void TFormScreenCapture::MemoChange() {
    const QSize size = CaptureTextBoxSize(Memo->font(), Memo->toPlainText(), Memo->pos(), m_selection.Rect());
    Memo->resize(size);
}

void TFormScreenCapture::Finish() {
    if (!m_selectionDone)
        return;
    // What the text box shows is part of the picture the user sees: it is copied too.
    if (Memo->isVisible())
        CommitText();
    ShapeRect->hide();
    QGuiApplication::clipboard()->setImage(ThroughJpeg(m_canvas.Copy(m_selection.Rect())));
    accept();
}

void TFormScreenCapture::PlaceHandles(bool normalize) {
    if (normalize)
        m_selection.Normalize();
    ShapeRect->setGeometry(ShownRect(m_selection));
    for (QWidget* handle : m_handles) {
        handle->move(m_selection.HandlePos(handle->property("Tag").toInt()));
        handle->show();
        handle->raise();
    }
}

void TFormScreenCapture::PlaceToolBar() {
    PanelToolBarMain->move(m_selection.PanelPos(PanelToolBarMain->size()));
}

TCaptureText TFormScreenCapture::PendingText() const {
    return {Memo->geometry(), Memo->font(), Memo->palette().color(QPalette::Text), Memo->toPlainText()};
}

void TFormScreenCapture::CommitText() {
    m_canvas.CommitText(PendingText());
    // Committed text belongs to the picture: the box must not draw it a second time.
    const QSignalBlocker quiet(Memo);
    Memo->clear();
    RepaintChanged();
}

void TFormScreenCapture::RepaintChanged() {
    const QRect dirty = m_canvas.TakeDirty();
    if (!dirty.isEmpty())
        ImageScreen->update(dirty);
}

void ShowScreenCapture(QWidget* button) {
    static QPointer<TFormScreenCapture> open;
    if (open)
        return;
    if (!ScreenCaptureAvailable()) {
        MsgBox(ScreenCaptureUnavailableText(), MB_ICONINFORMATION);
        return;
    }
    const QImage screen = GrabPrimaryScreen();
    open = new TFormScreenCapture(screen, button ? button->window() : nullptr);
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        open->move(primary->geometry().topLeft());
    open->setAttribute(Qt::WA_DeleteOnClose);
    open->setWindowModality(Qt::ApplicationModal);
    open->show();
    open->raise();
    open->activateWindow();
}
