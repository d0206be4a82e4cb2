// What a painting user feels: a pencil stroke through the picture widget at
// "Double Size" with "Standard Aspect (0.9)", and at eight times normal size
// with the dot grid in a scroll area of a common window's size. Each mouse
// move draws a line into picture memory and re-renders the whole frame; then
// the event loop paints what the widget asked to be repainted into the
// window's backing store, as the screen gets it. A full paint of the widget
// (what a window exposed anew costs) is measured beside it.
#include "morvowidget.h"
#include "pictureview.h"
#include "picturestate.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QScrollBar>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numeric>
#include <vector>

namespace {

constexpr int kStrokeMoves = 1000;

using Clock = std::chrono::steady_clock;

// A closed loop over most of the widget, a few pixels a move: a quick hand
// scribbling across the picture.
std::vector<QPoint> strokePath(QSize size)
{
    std::vector<QPoint> path;
    for (int i = 0; i < kStrokeMoves; ++i) {
        const double t = 2 * M_PI * i / kStrokeMoves;
        path.emplace_back(int(size.width() * (0.5 + 0.45 * std::sin(3 * t))),
                          int(size.height() * (0.5 + 0.45 * std::sin(2 * t))));
    }
    return path;
}

void sendMouse(QWidget *widget, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(pos), widget->mapToGlobal(QPointF(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

double microseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    auto middle = values.begin() + values.size() / 2;
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

void randomPicture(PictureState &s)
{
    QRandomGenerator rng(3);
    for (uchar &b : s.auxMemory)
        b = uchar(rng.generate());
    for (uchar &b : s.mainMemory)
        b = uchar(rng.generate());
}

void randomDoubleSizeWidget(MorvoWidget &widget)
{
    PictureState &s = widget.state();
    randomPicture(s);
    s.screenSize = 2;
    s.aspectCorrect = 1;
    widget.refresh();
    widget.show();
    QApplication::processEvents();
}

// Counts the paint events of the widget it watches.
struct PaintCount : QObject {
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

// One iteration is one move of a stroke that goes round the loop again and
// again. The counters split it: the move event (pencil line and refresh,
// which renders the frame) and the paint that follows.
void strokeMoves(benchmark::State &st, MorvoWidget &widget, const std::vector<QPoint> &path)
{
    PaintCount painted;
    widget.installEventFilter(&painted);
    sendMouse(&widget, QEvent::MouseButtonPress, path[0], Qt::LeftButton, Qt::LeftButton);

    std::vector<double> moves;
    std::vector<double> renders;
    std::vector<double> paints;
    // Zoomed in, a short move often stays on the same dot and changes
    // nothing; the moves that were painted are also counted alone.
    std::vector<double> paintedMoves;
    size_t step = 0;
    for (auto _ : st) {
        const QPoint pos = path[++step % path.size()];
        const int paintsBefore = painted.paints;
        const Clock::time_point start = Clock::now();
        sendMouse(&widget, QEvent::MouseMove, pos, Qt::NoButton, Qt::LeftButton);
        const Clock::time_point moved = Clock::now();
        QApplication::processEvents();
        const Clock::time_point done = Clock::now();
        renders.push_back(microseconds(moved - start));
        paints.push_back(microseconds(done - moved));
        moves.push_back(microseconds(done - start));
        if (painted.paints != paintsBefore)
            paintedMoves.push_back(moves.back());
    }
    sendMouse(&widget, QEvent::MouseButtonRelease, path[step % path.size()], Qt::LeftButton, Qt::NoButton);

    const double renderTotal = std::accumulate(renders.begin(), renders.end(), 0.0);
    const double paintTotal = std::accumulate(paints.begin(), paints.end(), 0.0);
    st.counters["move_p50_us"] = median(moves);
    st.counters["render_p50_us"] = median(renders);
    st.counters["paint_p50_us"] = median(paints);
    st.counters["render_share"] = renderTotal / std::max(renderTotal + paintTotal, 1e-9);
    st.counters["painted_move_p50_us"] = median(paintedMoves);
    st.counters["painted_share"] = double(paintedMoves.size()) / double(std::max<size_t>(moves.size(), 1));
}

void Paint_StrokeMove(benchmark::State &st)
{
    MorvoWidget widget;
    randomDoubleSizeWidget(widget);
    strokeMoves(st, widget, strokePath(widget.size()));
}

// Eight times normal size (a widget of 4496 x 3072, or 4048 x 3072 with the
// aspect correction) with the dot grid, seen through a 1200 x 800 scroll
// area scrolled to the middle: the stroke scribbles over what it shows.
void zoomedStroke(benchmark::State &st, int aspect)
{
    auto *widget = new MorvoWidget;
    PictureView view(widget);
    PictureState &s = widget->state();
    randomPicture(s);
    s.aspectCorrect = quint16(aspect);
    widget->refresh();
    widget->setZoom(8);
    widget->setDotGrid(true);
    view.resize(1200, 800);
    view.show();
    view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum() / 2);
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum() / 2);
    QApplication::processEvents();
    std::vector<QPoint> path = strokePath(view.viewport()->size());
    for (QPoint &p : path)
        p = widget->mapFrom(view.viewport(), p);
    strokeMoves(st, *widget, path);
}

void Paint_StrokeMoveZoomed8Grid(benchmark::State &st) { zoomedStroke(st, 0); }
void Paint_StrokeMoveZoomed8GridAspect(benchmark::State &st) { zoomedStroke(st, 1); }

// The whole widget painted afresh, as when the window is first shown or
// uncovered.
void Paint_WholeWidget(benchmark::State &st)
{
    MorvoWidget widget;
    randomDoubleSizeWidget(widget);
    for (auto _ : st) {
        widget.repaint();
        benchmark::ClobberMemory();
    }
}

BENCHMARK(Paint_StrokeMove)->Unit(benchmark::kMicrosecond)->Iterations(kStrokeMoves)->Repetitions(15)->ReportAggregatesOnly(true);
BENCHMARK(Paint_StrokeMoveZoomed8Grid)->Unit(benchmark::kMicrosecond)->Iterations(kStrokeMoves)->Repetitions(15)->ReportAggregatesOnly(true);
BENCHMARK(Paint_StrokeMoveZoomed8GridAspect)->Unit(benchmark::kMicrosecond)->Iterations(kStrokeMoves)->Repetitions(15)->ReportAggregatesOnly(true);
BENCHMARK(Paint_WholeWidget)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly(true);

} // namespace
