// The screen capture under X: how soon its window shows the frozen screen after the toolbar
// button is clicked, and how long the pen takes from a mouse move until its stroke is on the
// screen. A pen step repaints only the few pixels the new segment covers: that paintEvent alone
// takes microseconds (printed in microseconds, with the area it covered), while the step's real
// cost is the move handled, the segment drawn, the paint and its flush to the X server; the
// stroke is read back from the screen (a one-pixel grab, a round trip that the X server answers
// only after the flushed picture) before the next move. Exits 1 when it cannot measure.
// Run on a full-HD virtual screen:
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/bench/bench_capture [runs] [moves]
// Prints medians and maxima (milliseconds) next to a reference measured in the same run: one
// screen grab alone, and one repaint of the whole picture.
#include "tools/CaptureToolPanel.h"
#include "tools/FormScreenCapture.h"
#include "tools/ScreenCapture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QToolButton>
#include <QWindow>
#include <QtMath>
#include <algorithm>
#include <functional>
#include <cstdio>

namespace {

// Runs events until done() holds; false when the time (10 s unless given) passes first.
bool Until(const std::function<bool()>& done, qint64 limitMs = 10000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > limitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

struct TFigures {
    double Median = 0;
    double P95 = 0;
    double Max = 0;
};

TFigures Figures(QVector<double> values) {
    std::sort(values.begin(), values.end());
    if (values.isEmpty())
        return {};
    return {values[values.size() / 2], values[qMin(values.size() - 1, values.size() * 95 / 100)],
            values.last()};
}

void Print(const char* what, const TFigures& figures, const char* unit = "ms") {
    std::printf("%-44s median %7.2f  p95 %7.2f  max %7.2f %s\n", what, figures.Median, figures.P95,
                figures.Max, unit);
}

QVector<double> Scaled(QVector<double> values, double factor) {
    for (double& value : values)
        value *= factor;
    return values;
}

// The pixel at a global position as the X server shows it now.
QColor ScreenPixel(const QPoint& global) {
    return QGuiApplication::primaryScreen()->grabWindow(0, global.x(), global.y(), 1, 1).toImage().pixelColor(0, 0);
}

// The pen's end pixel is smoothed at its edge (#bf0000 for red on black): near enough counts.
bool Near(const QColor& a, const QColor& b) {
    return qAbs(a.red() - b.red()) < 90 && qAbs(a.green() - b.green()) < 90 && qAbs(a.blue() - b.blue()) < 90;
}

// Times every paint of the watched widget (the capture's picture) and counts them.
class TPaintTimer : public QObject {
public:
    QVector<double> Durations;
    QVector<double> Areas; // pixels of each paint's rectangle

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint || m_inside)
            return false;
        m_inside = true;
        QElapsedTimer timer;
        timer.start();
        static_cast<QObject*>(watched)->event(event); // the widget's own paintEvent
        const QRect area = static_cast<QPaintEvent*>(event)->rect();
        Areas.append(double(area.width()) * area.height());
        Durations.append(timer.nsecsElapsed() / 1e6);
        m_inside = false;
        return true;
    }

private:
    bool m_inside = false;
};

TFormScreenCapture* OpenCapture() {
    return qobject_cast<TFormScreenCapture*>(QApplication::activeModalWidget());
}

// From the click on the button until the capture's picture has been painted once; the duration
// of that first paint goes to `firstPaints`.
double ClickToPicture(QToolButton* button, QVector<double>* firstPaints) {
    QElapsedTimer timer;
    timer.start();
    button->click();
    TFormScreenCapture* form = OpenCapture();
    if (!form)
        return -1;
    TPaintTimer painted;
    form->findChild<QWidget*>(QStringLiteral("ImageScreen"))->installEventFilter(&painted);
    if (!Until([&] { return !painted.Durations.isEmpty() && form->windowHandle() && form->windowHandle()->isExposed(); }))
        return -1;
    const double elapsed = timer.nsecsElapsed() / 1e6;
    firstPaints->append(painted.Durations.first());
    QPointer<TFormScreenCapture> alive(form);
    form->close();
    // No event loop runs here: deleteLater needs a push.
    if (!Until([&] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return !alive;
        }))
        return -1;
    return elapsed;
}

void SendMouse(QWidget* widget, QEvent::Type type, const QPoint& pos, Qt::MouseButtons buttons, ulong time) {
    QMouseEvent event(type, pos, widget->mapToGlobal(pos),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
    event.setTimestamp(time);
    QApplication::sendEvent(widget, &event);
}

// The cost of the read-back alone, included in every pen step.
QVector<double> PixelReads(const QPoint& global) {
    QVector<double> reads;
    for (int run = 0; run < 50; ++run) {
        QElapsedTimer timer;
        timer.start();
        ScreenPixel(global);
        reads.append(timer.nsecsElapsed() / 1e6);
    }
    return reads;
}

// A selection over most of the screen, the pen chosen, then a looping stroke of `moves` steps;
// every step is on the screen before the next (as the mouse would at 60 moves per second or
// slower). False when the capture window was not shown in time or a step never reached the screen.
bool PenStroke(const QImage& screen, int moves) {
    TFormScreenCapture form(screen);
    form.move(QGuiApplication::primaryScreen()->geometry().topLeft());
    form.show();
    QWidget* picture = form.findChild<QWidget*>(QStringLiteral("ImageScreen"));
    if (!Until([&] { return form.windowHandle()->isExposed(); }))
        return false;
    ulong time = 1000;
    const QRect area = screen.rect().adjusted(40, 40, -40, -120);
    SendMouse(picture, QEvent::MouseButtonPress, area.topLeft(), Qt::LeftButton, time += 1000);
    SendMouse(picture, QEvent::MouseMove, area.bottomRight(), Qt::LeftButton, time += 10);
    SendMouse(picture, QEvent::MouseButtonRelease, area.bottomRight(), Qt::NoButton, time += 10);
    form.findChild<QToolButton*>(QStringLiteral("ToolButton4"))->click();
    QCoreApplication::processEvents(QEventLoop::AllEvents);

    // Reference: the whole picture repainted once, several times.
    TPaintTimer paints;
    picture->installEventFilter(&paints);
    for (int run = 0; run < 20; ++run)
        picture->repaint();
    const TFigures full = Figures(paints.Durations);
    paints.Durations.clear();
    paints.Areas.clear();

    QWidget* frame = form.findChild<QWidget*>(QStringLiteral("ShapeRect"));
    auto* panel = form.findChild<TCaptureToolPanel*>();
    if (!frame || !panel)
        return false;
    const QColor ink = panel->Style().Color;
    const QPoint centre(area.width() / 2, area.height() / 2);
    QVector<double> cycles;
    SendMouse(frame, QEvent::MouseButtonPress, centre, Qt::LeftButton, time += 1000);
    for (int step = 1; step <= moves; ++step) {
        const double angle = step * 0.05;
        const QPoint pos = centre + QPoint(int(std::cos(angle) * (200 + step % 300)),
                                           int(std::sin(angle * 1.3) * (150 + step % 200)));
        const QPoint global = frame->mapToGlobal(pos);
        QElapsedTimer cycle;
        cycle.start();
        SendMouse(frame, QEvent::MouseMove, pos, Qt::LeftButton, time += 16);
        // The update the move asked for is a posted event: the cycle lasts until the segment's
        // end is on the screen (at most 2 s).
        const bool shown = Until([&] { return Near(ScreenPixel(global), ink); }, 2000);
        if (!shown) {
            std::printf("FAILED: pen step %d did not reach the screen within 2 s (%s there, ink %s)\n", step,
                        qPrintable(ScreenPixel(global).name()), qPrintable(ink.name()));
            return false;
        }
        cycles.append(cycle.nsecsElapsed() / 1e6);
    }
    SendMouse(frame, QEvent::MouseButtonRelease, centre, Qt::NoButton, time += 16);
    if (paints.Durations.isEmpty())
        return false;
    std::printf("pen stroke: %d moves, %d repaints of the picture, median %.0f pixels each\n", moves,
                int(paints.Durations.size()), Figures(paints.Areas).Median);
    Print("pen: paintEvent of the picture", Figures(Scaled(paints.Durations, 1000)), "us");
    Print("pen: move to the segment on screen", Figures(cycles));
    Print("reference: paintEvent of the whole picture", full);
    Print("reference: one-pixel read of the screen", Figures(PixelReads(frame->mapToGlobal(centre))));
    form.close();
    return !paints.Durations.isEmpty();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    const int runs = argc > 1 ? qMax(1, atoi(argv[1])) : 15;
    const int moves = argc > 2 ? qMax(10, atoi(argv[2])) : 600;
    const QSize size = QGuiApplication::primaryScreen()->size();
    std::printf("screen %dx%d, platform %s\n", size.width(), size.height(), qPrintable(app.platformName()));
    if (!ScreenCaptureAvailable()) {
        std::printf("the screen cannot be read here (run under X11 or xvfb-run)\n");
        return 1;
    }

    QWidget host;
    host.setGeometry(0, 0, 400, 60);
    auto* button = new QToolButton(&host);
    button->setText(QStringLiteral("截图"));
    QObject::connect(button, &QToolButton::clicked, button, [button] { ShowScreenCapture(button); });
    host.show();
    if (!Until([&] { return host.windowHandle()->isExposed(); })) {
        std::printf("FAILED: the window with the button was not shown\n");
        return 1;
    }

    QVector<double> grabs;
    QVector<double> opens;
    QVector<double> firstPaints;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        const QImage screen = GrabPrimaryScreen();
        grabs.append(timer.nsecsElapsed() / 1e6);
        opens.append(ClickToPicture(button, &firstPaints));
        if (opens.last() < 0) {
            std::printf("FAILED: the capture window did not show its picture or did not close in time\n");
            return 1;
        }
    }
    Print("click on \"截图\" to the picture on screen", Figures(opens));
    Print("  of which the first paint of the picture", Figures(firstPaints));
    Print("reference: one screen grab alone", Figures(grabs));

    if (!PenStroke(GrabPrimaryScreen(), moves)) {
        std::printf("FAILED: the pen stroke was not shown\n");
        return 1;
    }
    return 0;
}
