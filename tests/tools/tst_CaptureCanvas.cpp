// The capture's drawing without a window: the not-xor rubber band, final figures, arrows, the pen,
// text, drags that end outside the selection, the undo list; the arrow's outline, the text box's
// growth and where the screen may be read.
#include "tools/CaptureArrow.h"
#include "tools/CaptureCanvas.h"
#include "tools/CaptureTextBox.h"
#include "tools/ScreenCapture.h"

#include <QFontMetrics>
#include <QPainter>
#include <QtTest>

namespace {
const QRect kSelection(50, 40, 200, 150);
const QColor kRed(255, 0, 0);

// A screen with a pattern, so that a pixel put back wrongly shows.
QImage Screen() {
    QImage image(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, (x * 7 + y * 3) % 256));
    return image;
}

TCaptureStyle Style(int width = 2) {
    return {kRed, width, 8};
}

bool IsRed(QRgb pixel) {
    return qRed(pixel) > 200 && qGreen(pixel) < 60 && qBlue(pixel) < 60;
}

int RedPixels(const QImage& image, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += IsRed(image.pixel(x, y));
    return count;
}
} // namespace

class TstCaptureCanvas : public QObject {
    Q_OBJECT
private slots:
    void rubberBandLeavesNoTrace_data() {
        QTest::addColumn<int>("tool");
        QTest::newRow("rectangle") << int(TCaptureTool::Rectangle);
        QTest::newRow("ellipse") << int(TCaptureTool::Ellipse);
        QTest::newRow("line") << int(TCaptureTool::Line);
    }

    void rubberBandLeavesNoTrace() {
        QFETCH(int, tool);
        const QImage screen = Screen();
        TCaptureCanvas canvas(screen);
        canvas.Press(kSelection, QPoint(10, 10));
        for (const QPoint point : {QPoint(120, 90), QPoint(60, 40), QPoint(150, 130)}) {
            canvas.Drag(TCaptureTool(tool), Style(3), point);
            QVERIFY(canvas.StrokeInProgress());
        }
        QVERIFY(canvas.Picture() != screen);
        // Leaving the selection takes the rubber band away: every pixel is the screen's again.
        canvas.Drag(TCaptureTool(tool), Style(3), QPoint(250, 20));
        QVERIFY(!canvas.StrokeInProgress());
        QCOMPARE(canvas.Picture(), screen.convertToFormat(QImage::Format_RGB32));
        QCOMPARE(canvas.SnapshotCount(), 1);
    }

    void releaseDrawsTheFinalFigureOnce() {
        TCaptureCanvas canvas(Screen());
        canvas.Press(kSelection, QPoint(20, 20));
        canvas.Drag(TCaptureTool::Rectangle, Style(), QPoint(80, 60));
        canvas.Drag(TCaptureTool::Rectangle, Style(), QPoint(100, 70));
        QVERIFY(canvas.Release(TCaptureTool::Rectangle, Style(), QPoint(100, 70), {}));
        QCOMPARE(canvas.SnapshotCount(), 2);
        const QImage& picture = canvas.Picture();
        const QPoint origin = kSelection.topLeft();
        // The final rectangle's edges are red; the earlier rubber band (to 80, 60) is gone.
        QVERIFY(IsRed(picture.pixel(origin + QPoint(60, 20))));
        QVERIFY(IsRed(picture.pixel(origin + QPoint(100, 45))));
        QVERIFY(IsRed(picture.pixel(origin + QPoint(20, 70))));
        QCOMPARE(RedPixels(picture, QRect(origin + QPoint(79, 30), QSize(3, 25))), 0);
        QCOMPARE(picture.pixel(origin + QPoint(60, 45)), Screen().pixel(origin + QPoint(60, 45)));
    }

    void releaseOutsideCompletesNothing_data() {
        QTest::addColumn<int>("tool");
        QTest::newRow("rectangle") << int(TCaptureTool::Rectangle);
        QTest::newRow("arrow") << int(TCaptureTool::Arrow);
        QTest::newRow("pen") << int(TCaptureTool::Pen);
    }

    void releaseOutsideCompletesNothing() {
        QFETCH(int, tool);
        const QImage screen = Screen();
        TCaptureCanvas canvas(screen);
        canvas.Press(kSelection, QPoint(10, 10));
        canvas.Drag(TCaptureTool(tool), Style(), QPoint(100, 100));
        QVERIFY(!canvas.Release(TCaptureTool(tool), Style(), QPoint(200, 100), {})); // right edge is outside
        QCOMPARE(canvas.SnapshotCount(), 1);
        QCOMPARE(canvas.Picture(), screen);
    }

    void arrowFollowsThePointerAndStaysInside() {
        const QImage screen = Screen();
        TCaptureCanvas canvas(screen);
        canvas.Press(kSelection, QPoint(10, 75));
        canvas.Drag(TCaptureTool::Arrow, Style(), QPoint(100, 20));
        canvas.Drag(TCaptureTool::Arrow, Style(), QPoint(199, 75)); // the head at the right edge
        QVERIFY(canvas.Release(TCaptureTool::Arrow, Style(), QPoint(199, 75), {}));
        const QImage& picture = canvas.Picture();
        const QPoint origin = kSelection.topLeft();
        QVERIFY(IsRed(picture.pixel(origin + QPoint(100, 75))));  // the shaft
        QVERIFY(IsRed(picture.pixel(origin + QPoint(180, 80))));  // the head, wider than the shaft
        QVERIFY(!IsRed(picture.pixel(origin + QPoint(100, 85)))); // beyond the shaft's width
        QCOMPARE(RedPixels(picture, QRect(origin + QPoint(90, 15), QSize(20, 20))), 0); // first arrow gone
        // Nothing spills over the selection's edge.
        QCOMPARE(picture.copy(QRect(250, 0, 150, 300)), screen.copy(QRect(250, 0, 150, 300)));
    }

    void penDrawsTheStrokeItFollowed() {
        TCaptureCanvas canvas(Screen());
        canvas.Press(kSelection, QPoint(10, 10));
        for (int x = 20; x <= 100; x += 10)
            canvas.Drag(TCaptureTool::Pen, Style(3), QPoint(x, x < 60 ? 10 : 50));
        QVERIFY(canvas.Release(TCaptureTool::Pen, Style(3), QPoint(100, 50), {}));
        const QPoint origin = kSelection.topLeft();
        QVERIFY(IsRed(canvas.Picture().pixel(origin + QPoint(35, 10))));
        QVERIFY(IsRed(canvas.Picture().pixel(origin + QPoint(80, 50))));
        QVERIFY(!canvas.TakeDirty().isEmpty());
        QVERIFY(canvas.TakeDirty().isEmpty());
    }

    void undoGoesBackStepByStep() {
        const QImage screen = Screen();
        TCaptureCanvas canvas(screen);
        QVERIFY(!canvas.Undo());
        canvas.Press(kSelection, QPoint(10, 10));
        canvas.Drag(TCaptureTool::Ellipse, Style(), QPoint(90, 90));
        canvas.Release(TCaptureTool::Ellipse, Style(), QPoint(90, 90), {});
        const QImage first = canvas.Picture();
        canvas.Press(kSelection, QPoint(100, 20));
        canvas.Drag(TCaptureTool::Line, Style(), QPoint(180, 120));
        canvas.Release(TCaptureTool::Line, Style(), QPoint(180, 120), {});
        QCOMPARE(canvas.SnapshotCount(), 3);
        QVERIFY(canvas.Undo());
        QCOMPARE(canvas.Picture(), first);
        QVERIFY(canvas.Undo());
        QCOMPARE(canvas.Picture(), screen);
        QVERIFY(!canvas.Undo());
        QCOMPARE(canvas.SnapshotCount(), 1);
    }

    void textIsOneUndoStep_data() {
        QTest::addColumn<bool>("byNextRelease");
        QTest::newRow("committed by itself") << false;
        QTest::newRow("committed by the next box") << true;
    }

    void textIsOneUndoStep() {
        QFETCH(bool, byNextRelease);
        const QImage screen = Screen();
        TCaptureCanvas canvas(screen);
        // Opening a box is no step; its text becomes one when it is committed.
        canvas.Press(kSelection, QPoint(20, 20));
        QVERIFY(canvas.Release(TCaptureTool::Text, Style(), QPoint(20, 20), {}));
        QCOMPARE(canvas.SnapshotCount(), 1);
        QFont font;
        font.setPixelSize(30);
        const TCaptureText text{QRect(kSelection.topLeft() + QPoint(20, 20), QSize(150, 40)), font, kRed,
                                QStringLiteral("WWW")};
        if (byNextRelease) {
            canvas.Press(kSelection, QPoint(20, 100));
            QVERIFY(canvas.Release(TCaptureTool::Text, Style(), QPoint(20, 100), text));
        } else {
            canvas.CommitText(text);
        }
        QVERIFY(RedPixels(canvas.Picture(), text.Box) > 30);
        // Outside its box the picture is the screen.
        QImage outside = canvas.Picture();
        QImage expected = screen;
        for (QImage* image : {&outside, &expected})
            QPainter(image).fillRect(text.Box, Qt::black);
        QCOMPARE(outside, expected);
        QCOMPARE(canvas.SnapshotCount(), 2);
        QVERIFY(canvas.Undo());
        QCOMPARE(canvas.Picture(), screen);
        canvas.CommitText({text.Box, font, kRed, QString()});
        QCOMPARE(canvas.SnapshotCount(), 1);
    }

    void arrowOutline() {
        const qreal width = 8;
        const QPainterPath path = CaptureArrowPath(QPointF(0, 0), QPointF(100, 0), width);
        const QRectF bounds = path.boundingRect();
        // The start cap reaches half a width behind the start; the head is 2.5 widths across.
        QCOMPARE(bounds.left(), -width / 2);
        QCOMPARE(bounds.right(), 100.0);
        QCOMPARE(bounds.height(), width * kArrowHeadWidth);
        QVERIFY(path.contains(QPointF(50, width / 2 - 0.5)));
        QVERIFY(!path.contains(QPointF(50, width / 2 + 0.5)));
        QVERIFY(path.contains(QPointF(100 - width * kArrowHeadLength + 1, width)));
        QVERIFY(CaptureArrowPath(QPointF(5, 5), QPointF(5, 5), width).isEmpty());
        // Shorter than the head: part of the head only, never behind the start.
        QVERIFY(CaptureArrowPath(QPointF(0, 0), QPointF(10, 0), width).boundingRect().left() >= 0);
    }

    void textBoxGrowsWithItsTextUpToTheSelection() {
        QFont font;
        font.setPixelSize(12);
        const QFontMetrics metrics(font);
        const QRect selection(0, 0, 1000, 1000);
        const int extraWidth = 2 * metrics.horizontalAdvance(QStringLiteral("啊"));
        const int extraHeight = 2 * metrics.height();
        const QString text = QStringLiteral("ab\nlonger line\nc");
        const QSize size = CaptureTextBoxSize(font, text, QPoint(10, 10), selection);
        QCOMPARE(size.width(), metrics.horizontalAdvance(QStringLiteral("longer line")) + extraWidth);
        QCOMPARE(size.height(), 3 * metrics.height() + extraHeight);
        // Near the selection's corner the box ends at its right and bottom edges.
        QCOMPARE(CaptureTextBoxSize(font, text, QPoint(990, 995), selection), QSize(10, 5));
    }

    void screenIsReadOnX11Only_data() {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QString>("waylandDisplay");
        QTest::addColumn<QString>("sessionType");
        QTest::addColumn<bool>("expected");
        QTest::newRow("x11") << "xcb"
                             << ""
                             << "x11" << true;
        QTest::newRow("xvfb") << "xcb"
                              << ""
                              << "" << true;
        QTest::newRow("wayland") << "wayland"
                                 << "wayland-0"
                                 << "wayland" << false;
        QTest::newRow("xwayland") << "xcb"
                                  << "wayland-0"
                                  << "wayland" << false;
        QTest::newRow("offscreen") << "offscreen"
                                   << ""
                                   << "" << false;
    }

    void screenIsReadOnX11Only() {
        QFETCH(QString, platform);
        QFETCH(QString, waylandDisplay);
        QFETCH(QString, sessionType);
        QFETCH(bool, expected);
        QCOMPARE(CanReadScreen(platform, waylandDisplay, sessionType), expected);
    }
};

QTEST_MAIN(TstCaptureCanvas)
#include "tst_CaptureCanvas.moc"
