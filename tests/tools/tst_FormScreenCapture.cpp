// The capture window under Xvfb, driven by mouse and key events on its controls: selecting,
// annotating, undoing and finishing to the clipboard; Esc, double presses, handles and arrow keys;
// the real screen grab and the launcher.
#include "tools/CaptureSelection.h"
#include "tools/FormScreenCapture.h"
#include "tools/ScreenCapture.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QToolButton>
#include <QtTest>

namespace {

const QRect kSelection(100, 80, 200, 150);

// A screen of one light colour, so that annotations stand out after JPEG.
QImage Screen() {
    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(qRgb(250, 250, 250));
    return image;
}

bool IsReddish(QRgb pixel) {
    return qRed(pixel) > 170 && qGreen(pixel) < 130 && qBlue(pixel) < 130;
}

bool IsLight(QRgb pixel) {
    return qRed(pixel) > 200 && qGreen(pixel) > 200 && qBlue(pixel) > 200;
}

int Count(const QImage& image, const QRect& area, bool (*test)(QRgb)) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += test(image.pixel(x, y));
    return count;
}

bool IsDark(QRgb pixel) {
    return qGray(pixel) < 100;
}

// Mouse events with explicit buttons and times: a drag holds the left button on every move.
class TMouse {
public:
    void Press(QWidget* widget, const QPoint& pos, Qt::MouseButton button = Qt::LeftButton) {
        Send(widget, QEvent::MouseButtonPress, pos, button, button);
    }
    void Move(QWidget* widget, const QPoint& pos, Qt::MouseButtons buttons = Qt::LeftButton) {
        Send(widget, QEvent::MouseMove, pos, Qt::NoButton, buttons);
    }
    void Release(QWidget* widget, const QPoint& pos, Qt::MouseButton button = Qt::LeftButton) {
        Send(widget, QEvent::MouseButtonRelease, pos, button, Qt::NoButton);
    }
    void Drag(QWidget* widget, const QPoint& from, const QPoint& to) {
        Press(widget, from);
        for (int step = 1; step <= 4; ++step)
            Move(widget, from + (to - from) * step / 4);
        Release(widget, to);
    }
    // The next event comes only this much later (milliseconds); the others a second apart.
    void Soon(ulong ms) { m_next = ms; }

private:
    void Send(QWidget* widget, QEvent::Type type, const QPoint& pos, Qt::MouseButton button,
              Qt::MouseButtons buttons) {
        QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, buttons, Qt::NoModifier);
        m_time += m_next;
        m_next = 1000;
        event.setTimestamp(m_time);
        QApplication::sendEvent(widget, &event);
    }

    ulong m_time = 1000;
    ulong m_next = 1000;
};

QWidget* Child(QWidget* window, const char* name) {
    auto* child = window->findChild<QWidget*>(QLatin1String(name));
    if (!child)
        qFatal("no control %s", name);
    return child;
}

void Click(QWidget* window, const char* button) {
    static_cast<QToolButton*>(Child(window, button))->click();
}

// Shows the window and, with `select`, drags the selection kSelection on its picture.
bool Open(TFormScreenCapture& form, TMouse& mouse, bool select = true) {
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return false;
    if (select)
        mouse.Drag(Child(&form, "ImageScreen"), kSelection.topLeft(),
                   kSelection.bottomRight() + QPoint(1, 1));
    return !select || form.SelectionDone();
}

} // namespace

class TstFormScreenCapture : public QObject {
    Q_OBJECT
private slots:
    void init() { QGuiApplication::clipboard()->setText(QStringLiteral("before")); }

    void annotateUndoAndFinishToTheClipboard() {
        TFormScreenCapture form(Screen());
        TMouse mouse;
        QVERIFY(Open(form, mouse, false));
        QWidget* picture = Child(&form, "ImageScreen");
        QWidget* frame = Child(&form, "ShapeRect");
        // Drawn from bottom-right to top-left.
        mouse.Drag(picture, kSelection.bottomRight() + QPoint(1, 1), kSelection.topLeft());
        QVERIFY(form.SelectionDone());
        QCOMPARE(form.Selection().Rect(), kSelection);
        QCOMPARE(frame->geometry(), kSelection);
        QVERIFY(Child(&form, "PanelToolBarMain")->isVisible());
        QCOMPARE(Child(&form, "ShapeRightBottom")->pos(), kSelection.bottomRight() + QPoint(-1, -1));

        Click(&form, "ToolButtonWide3");
        Click(&form, "ToolButton1"); // rectangle
        QCOMPARE(Child(&form, "PanelToolBarMain")->height(), 68);
        mouse.Drag(frame, QPoint(20, 20), QPoint(80, 60));
        QVERIFY(form.AnnotationStarted());
        Click(&form, "ToolButton6"); // arrow
        mouse.Drag(frame, QPoint(100, 120), QPoint(180, 120));
        Click(&form, "ToolButton5"); // text
        QVERIFY(Child(&form, "PanelFontSize")->isVisible());
        QVERIFY(!Child(&form, "PanelWide")->isVisible());
        mouse.Drag(frame, QPoint(20, 90), QPoint(21, 91));
        auto* memo = static_cast<QPlainTextEdit*>(Child(&form, "Memo"));
        QVERIFY(memo->isVisible());
        QCOMPARE(memo->pos(), kSelection.topLeft() + QPoint(20, 90));
        const int emptyWidth = memo->width();
        QTest::keyClicks(memo, QStringLiteral("WWWW"));
        QVERIFY(memo->width() > emptyWidth);
        QCOMPARE(form.Canvas().SnapshotCount(), 3);

        // One undo takes the typed text back; rectangle and arrow stay.
        QTest::keyClick(memo, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!memo->isVisible());
        QCOMPARE(form.Canvas().SnapshotCount(), 3);
        Click(&form, "ToolButtonSave");
        QCOMPARE(form.result(), int(QDialog::Accepted));

        const QImage copy = QGuiApplication::clipboard()->image();
        QCOMPARE(copy.size(), kSelection.size());
        QVERIFY(IsReddish(copy.pixel(50, 20)));                  // the rectangle's top edge
        QVERIFY(IsReddish(copy.pixel(80, 40)));                  // its right edge
        QVERIFY(IsLight(copy.pixel(50, 40)));                    // its inside
        QVERIFY(IsReddish(copy.pixel(130, 120)));                // the arrow's shaft
        QVERIFY(IsReddish(copy.pixel(165, 125)));                // its head, wider than the shaft
        QCOMPARE(Count(copy, QRect(20, 90, 60, 25), IsDark), 0); // no text
    }

    void textInTheOpenBoxIsCopiedOnFinishing() {
        TFormScreenCapture form(Screen());
        TMouse mouse;
        QVERIFY(Open(form, mouse));
        Click(&form, "ToolButton5");
        mouse.Drag(Child(&form, "ShapeRect"), QPoint(10, 10), QPoint(11, 11));
        QTest::keyClicks(Child(&form, "Memo"), QStringLiteral("WWWW"));
        Click(&form, "ToolButtonSave");
        const QImage copy = QGuiApplication::clipboard()->image();
        QCOMPARE(copy.size(), kSelection.size());
        QVERIFY(Count(copy, QRect(10, 10, 60, 20), IsDark) > 10);
    }

    void escapeAndCloseLeaveTheClipboardAlone_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Esc") << true;
        QTest::newRow("close button") << false;
    }

    void escapeAndCloseLeaveTheClipboardAlone() {
        QFETCH(bool, escape);
        TFormScreenCapture form(Screen());
        TMouse mouse;
        QVERIFY(Open(form, mouse));
        Click(&form, "ToolButton1");
        mouse.Drag(Child(&form, "ShapeRect"), QPoint(20, 20), QPoint(80, 60));
        if (escape)
            QTest::keyClick(&form, Qt::Key_Escape);
        else
            Click(&form, "ToolButtonClose");
        QVERIFY(!form.isVisible());
        QCOMPARE(form.result(), int(QDialog::Rejected));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    }

    void clicksWithoutADragSelectNothing() {
        TFormScreenCapture form(Screen());
        TMouse mouse;
        QVERIFY(Open(form, mouse, false));
        QWidget* picture = Child(&form, "ImageScreen");
        for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
            mouse.Press(picture, QPoint(50, 50), button);
            mouse.Release(picture, QPoint(50, 50), button);
        }
        QVERIFY(!form.SelectionDone());
        QVERIFY(!Child(&form, "ShapeRect")->isVisible());
        // A right-button drag starts a selection but does not stretch it.
        mouse.Press(picture, QPoint(50, 50), Qt::RightButton);
        mouse.Move(picture, QPoint(150, 150), Qt::RightButton);
        mouse.Release(picture, QPoint(150, 150), Qt::RightButton);
        QVERIFY(!form.SelectionDone());
        // Still selecting: a left drag selects.
        mouse.Drag(picture, QPoint(50, 50), QPoint(150, 120));
        QCOMPARE(form.Selection().Rect(), QRect(50, 50, 100, 70));
        QVERIFY(form.isVisible());
    }

    void clicksAnnotateOnlyAfterTheFirstDrag() {
        TFormScreenCapture form(Screen());
        TMouse mouse;
        QVERIFY(Open(form, mouse));
        QWidget* frame = Child(&form, "ShapeRect");
        Click(&form, "ToolButton2"); // ellipse
        mouse.Press(frame, QPoint(30, 30));
        mouse.Release(frame, QPoint(30, 30));
        QVERIFY(!form.AnnotationStarted());
        QCOMPARE(form.Canvas().SnapshotCount(), 1);
        mouse.Drag(frame, QPoint(30, 30), QPoint(90, 70));
        QCOMPARE(form.Canvas().SnapshotCount(), 2);
        mouse.Press(frame, QPoint(120, 100));
        mouse.Release(frame, QPoint(120, 100));
        QCOMPARE(form.Canvas().SnapshotCount(), 3);
        // A drag ending outside the selection completes nothing.
        mouse.Drag(frame, QPoint(50, 50), QPoint(250, 50));
        QCOMPARE(form.Canvas().SnapshotCount(), 3);
    }

    void twoQuickPressesOnTheSelectionFinish() {
        TFormScreenCapture form(Screen());
        TMouse mouse;
        QVERIFY(Open(form, mouse));
        QWidget* frame = Child(&form, "ShapeRect");
        mouse.Press(frame, QPoint(10, 10));
        mouse.Release(frame, QPoint(10, 10));
        mouse.Soon(201);
        mouse.Press(frame, QPoint(10, 10)); // 1201 ms after the first press
        QVERIFY(form.isVisible());
        mouse.Release(frame, QPoint(10, 10));
        mouse.Soon(1);
        mouse.Press(frame, QPoint(10, 10)); // 1001 ms after the last press
        QVERIFY(form.isVisible());
        mouse.Soon(200);
        mouse.Press(frame, QPoint(10, 10)); // 200 ms after the last press
        QVERIFY(!form.isVisible());
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(QGuiApplication::clipboard()->image().size(), kSelection.size());
    }

    void handlesAndKeysMoveTheSelectionUntilDrawingStarts() {
        TFormScreenCapture form(Screen());
        TMouse mouse;
        QVERIFY(Open(form, mouse));
        QWidget* handle = Child(&form, "ShapeLeftTop");
        mouse.Press(handle, QPoint(2, 2));
        QVERIFY(!Child(&form, "PanelToolBarMain")->isVisible());
        mouse.Move(handle, QPoint(-8, -18));
        mouse.Release(handle, QPoint(2, 2));
        QCOMPARE(form.Selection().Rect(), QRect(90, 60, 210, 170));
        QVERIFY(Child(&form, "PanelToolBarMain")->isVisible());
        // Dragging the selection moves it.
        QWidget* frame = Child(&form, "ShapeRect");
        mouse.Press(frame, QPoint(50, 50));
        mouse.Move(frame, QPoint(60, 45));
        mouse.Release(frame, QPoint(60, 45));
        QCOMPARE(form.Selection().Rect(), QRect(100, 55, 210, 170));
        QTest::keyClick(&form, Qt::Key_Left);
        QTest::keyClick(&form, Qt::Key_Down);
        QCOMPARE(form.Selection().Rect(), QRect(99, 56, 210, 170));

        Click(&form, "ToolButton3"); // line
        mouse.Drag(frame, QPoint(10, 10), QPoint(100, 100));
        QTest::keyClick(&form, Qt::Key_Left);
        mouse.Press(handle, QPoint(2, 2));
        mouse.Move(handle, QPoint(-20, -20));
        mouse.Release(handle, QPoint(-20, -20));
        QCOMPARE(form.Selection().Rect(), QRect(99, 56, 210, 170));
    }

    void grabsTheWholeScreenAndOpensOverIt() {
        QVERIFY(ScreenCaptureAvailable());
        const QImage screen = GrabPrimaryScreen();
        QCOMPARE(screen.size(), QGuiApplication::primaryScreen()->size());
        ShowScreenCapture(nullptr);
        auto* form = qobject_cast<TFormScreenCapture*>(QApplication::activeModalWidget());
        QVERIFY(form);
        QCOMPARE(form->geometry(), QGuiApplication::primaryScreen()->geometry());
        QPointer<TFormScreenCapture> alive(form);
        QTest::keyClick(form, Qt::Key_Escape);
        QTRY_VERIFY(!alive); // destroyed on closing
    }
};

QTEST_MAIN(TstFormScreenCapture)
#include "tst_FormScreenCapture.moc"
