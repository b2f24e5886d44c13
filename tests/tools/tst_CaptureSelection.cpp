// The capture's selection geometry without a window: drawing it either way, the eight handles,
// resizing by each handle, moving inside the screen, and where the tool panel goes.
#include "tools/CaptureSelection.h"

#include <QtTest>

namespace {
const QSize kScreen(800, 600);

TCaptureSelection Selection(const QRect& rect) {
    TCaptureSelection selection(kScreen);
    selection.Start(rect.topLeft());
    selection.StretchTo(rect.topLeft() + QPoint(rect.width(), rect.height()));
    return selection;
}
} // namespace

class TstCaptureSelection : public QObject {
    Q_OBJECT
private slots:
    void drawnBackwardsIsNormalised() {
        TCaptureSelection selection(kScreen);
        selection.Start(QPoint(300, 200));
        selection.StretchTo(QPoint(100, 150));
        QCOMPARE(selection.Width(), -200);
        QCOMPARE(selection.Height(), -50);
        selection.Normalize();
        QCOMPARE(selection.Rect(), QRect(100, 150, 200, 50));
    }

    void handlesSitOnCornersAndMiddles() {
        const TCaptureSelection selection = Selection(QRect(100, 50, 41, 21));
        // Odd sizes: the middle handles use half the size rounded down.
        const QPoint expected[] = {{98, 48},  {118, 48}, {139, 48}, {139, 58},
                                   {139, 69}, {118, 69}, {98, 69},  {98, 58}};
        for (int tag = 1; tag <= TCaptureSelection::HandleCount; ++tag)
            QCOMPARE(selection.HandlePos(tag), expected[tag - 1]);
    }

    void handleDragMovesOnlyItsEdges_data() {
        QTest::addColumn<int>("tag");
        QTest::addColumn<QPoint>("shift");
        QTest::addColumn<QRect>("expected");
        // The selection is (100, 100, 60, 40): right edge 160, bottom edge 140.
        QTest::newRow("left-top") << 1 << QPoint(-10, -20) << QRect(90, 80, 70, 60);
        QTest::newRow("top") << 2 << QPoint(15, 10) << QRect(100, 110, 60, 30);
        QTest::newRow("right-top") << 3 << QPoint(5, -5) << QRect(100, 95, 65, 45);
        QTest::newRow("right") << 4 << QPoint(-20, 30) << QRect(100, 100, 40, 40);
        QTest::newRow("right-bottom") << 5 << QPoint(10, 10) << QRect(100, 100, 70, 50);
        QTest::newRow("bottom") << 6 << QPoint(50, -15) << QRect(100, 100, 60, 25);
        QTest::newRow("left-bottom") << 7 << QPoint(20, 20) << QRect(120, 100, 40, 60);
        QTest::newRow("left") << 8 << QPoint(-30, 7) << QRect(70, 100, 90, 40);
    }

    void handleDragMovesOnlyItsEdges() {
        QFETCH(int, tag);
        QFETCH(QPoint, shift);
        QFETCH(QRect, expected);
        TCaptureSelection selection = Selection(QRect(100, 100, 60, 40));
        selection.DragHandle(tag, selection.HandlePos(tag) + shift);
        QCOMPARE(selection.Rect(), expected);
        // The handle stays under the pointer once the handles are placed again.
        const QPoint handle = selection.HandlePos(tag);
        if (tag == 1 || tag == 3 || tag == 5 || tag == 7)
            QCOMPARE(handle, Selection(QRect(100, 100, 60, 40)).HandlePos(tag) + shift);
    }

    void handleDraggedPastTheOppositeEdgeFlips() {
        TCaptureSelection selection = Selection(QRect(100, 100, 60, 40));
        // The left handle dragged 100 pixels right: 40 past the right edge.
        selection.DragHandle(TCaptureSelection::Left,
                             selection.HandlePos(TCaptureSelection::Left) + QPoint(100, 0));
        QCOMPARE(selection.Width(), -40);
        selection.Normalize();
        QCOMPARE(selection.Rect(), QRect(160, 100, 40, 40));
    }

    void movingStaysInsideTheScreen() {
        TCaptureSelection selection = Selection(QRect(100, 100, 200, 100));
        selection.MoveBy(-500, 30);
        QCOMPARE(selection.Rect(), QRect(0, 130, 200, 100));
        selection.MoveBy(1000, 1000);
        QCOMPARE(selection.Rect(), QRect(600, 500, 200, 100));
        selection.MoveBy(-5, -5);
        QCOMPARE(selection.Rect(), QRect(595, 495, 200, 100));
    }

    void arrowKeysStepOnePixelInsideTheScreen() {
        TCaptureSelection selection = Selection(QRect(0, 1, 790, 598));
        QVERIFY(selection.StepKey(Qt::Key_Left));
        QCOMPARE(selection.X(), 0);
        QVERIFY(selection.StepKey(Qt::Key_Up));
        QCOMPARE(selection.Y(), 0);
        QVERIFY(selection.StepKey(Qt::Key_Up));
        QCOMPARE(selection.Y(), 0);
        for (int step = 0; step < 15; ++step)
            selection.StepKey(Qt::Key_Right);
        QCOMPARE(selection.X(), 10);
        for (int step = 0; step < 5; ++step)
            selection.StepKey(Qt::Key_Down);
        QCOMPARE(selection.Y(), 2);
        QVERIFY(!selection.StepKey(Qt::Key_A));
        QCOMPARE(selection.Rect(), QRect(10, 2, 790, 598));
    }

    void containsExcludesRightAndBottomEdges() {
        const TCaptureSelection selection = Selection(QRect(10, 20, 30, 40));
        QVERIFY(selection.Contains(QPoint(10, 20)));
        QVERIFY(selection.Contains(QPoint(39, 59)));
        QVERIFY(!selection.Contains(QPoint(40, 30)));
        QVERIFY(!selection.Contains(QPoint(20, 60)));
        QVERIFY(!selection.Contains(QPoint(9, 30)));
    }

    void panelGoesBelowAboveAndStaysOnScreen_data() {
        QTest::addColumn<QRect>("selection");
        QTest::addColumn<QPoint>("expected");
        const int gap = TCaptureSelection::PanelGap;
        QTest::newRow("below") << QRect(100, 100, 200, 200) << QPoint(100, 300 + gap);
        // 600 - 140 - 68 = 392 < 450: no room below.
        QTest::newRow("above") << QRect(100, 450, 200, 140) << QPoint(100, 450 - 68 - gap);
        QTest::newRow("right edge") << QRect(700, 100, 100, 100) << QPoint(800 - 292, 200 + gap);
    }

    void panelGoesBelowAboveAndStaysOnScreen() {
        QFETCH(QRect, selection);
        QFETCH(QPoint, expected);
        QCOMPARE(Selection(selection).PanelPos(QSize(292, 68)), expected);
    }
};

QTEST_MAIN(TstCaptureSelection)
#include "tst_CaptureSelection.moc"
