// The tools and the history: a fill of the whole screen, the undo of a
// stroke (the bytes put back and the frame rendered again, as the picture's
// owner does), and what the history holds after 500 strokes.
#include "pictureedit.h"
#include "picturechange.h"
#include "picturesnapshot.h"
#include "picturestate.h"
#include "picturetools.h"
#include "render.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QRandomGenerator>
#include <QUndoStack>

namespace {

// Each fill recolours the whole screen: the colours take turns.
void fillWholeScreen(benchmark::State &st, bool dots)
{
    PictureState s;
    s.is560Mode = dots;
    // Dots are lit or not: white and black; cells take two colours.
    int colour = dots ? 15 : 5;
    for (auto _ : st) {
        floodFill(s, QPoint(280, 96), colour);
        colour = dots ? 15 - colour : (colour == 5 ? 10 : 5);
        benchmark::DoNotOptimize(s.mainMemory.data());
    }
}

void Tools_FillScreenCells(benchmark::State &st) { fillWholeScreen(st, false); }
void Tools_FillScreenDots(benchmark::State &st) { fillWholeScreen(st, true); }

// A scribble of 60 short pencil lines, as a quick stroke leaves it.
void scribble(PictureState &s, QRandomGenerator &rng)
{
    QPoint at(rng.bounded(kDhgrDots), rng.bounded(kScanLines));
    for (int i = 0; i < 60; ++i) {
        const QPoint next = at + QPoint(rng.bounded(-12, 13), rng.bounded(-6, 7));
        drawPencilLine(s, at, next, rng.bounded(16));
        at = next;
    }
}

void randomPicture(PictureState &s, QRandomGenerator &rng)
{
    for (uchar &b : s.auxMemory)
        b = uchar(rng.generate());
    for (uchar &b : s.mainMemory)
        b = uchar(rng.generate());
}

// A stroke over a random picture, and the picture before it.
struct Stroke {
    PictureState picture;
    PictureSnapshot before;

    explicit Stroke(quint32 seed)
    {
        QRandomGenerator rng(seed);
        randomPicture(picture, rng);
        before = PictureSnapshot::of(picture);
        scribble(picture, rng);
    }
};

// Undo and redo of one stroke in turn, each rendering the frame after.
void History_UndoStroke(benchmark::State &st)
{
    Stroke stroke(8);
    QImage frame;
    PictureChangeCommand command(stroke.picture, stroke.before, PictureSnapshot::of(stroke.picture),
                                 QStringLiteral("Stroke"), [&] { renderPicture(stroke.picture, frame); });
    bool undone = false;
    for (auto _ : st) {
        undone ? command.redo() : command.undo();
        undone = !undone;
        benchmark::DoNotOptimize(frame.constBits());
    }
    st.counters["stroke_bytes"] = double(command.storedBytes());
}

// The step made at the end of a stroke: both memory images compared.
void History_RecordStroke(benchmark::State &st)
{
    Stroke stroke(9);
    const PictureSnapshot after = PictureSnapshot::of(stroke.picture);
    for (auto _ : st) {
        PictureChangeCommand command(stroke.picture, stroke.before, after, QStringLiteral("Stroke"));
        benchmark::DoNotOptimize(&command);
    }
}

// 500 strokes pushed on a history; the memory its steps hold, against
// 500 whole copies of the picture.
void History_Memory500Strokes(benchmark::State &st)
{
    constexpr int kStrokes = 500;
    size_t held = 0;
    for (auto _ : st) {
        PictureState s;
        QRandomGenerator rng(10);
        randomPicture(s, rng);
        QUndoStack stack;
        stack.setUndoLimit(0);
        for (int i = 0; i < kStrokes; ++i) {
            const PictureSnapshot before = PictureSnapshot::of(s);
            scribble(s, rng);
            stack.push(new PictureChangeCommand(s, before, PictureSnapshot::of(s), QStringLiteral("Stroke")));
        }
        held = 0;
        for (int i = 0; i < stack.count(); ++i)
            held += static_cast<const PictureChangeCommand *>(stack.command(i))->storedBytes();
    }
    st.counters["steps"] = kStrokes;
    st.counters["held_KiB"] = double(held) / 1024.0;
    st.counters["whole_copies_KiB"] = double(kStrokes) * sizeof(PictureSnapshot) / 1024.0;
}

BENCHMARK(Tools_FillScreenCells)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly(true);
BENCHMARK(Tools_FillScreenDots)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly(true);
BENCHMARK(History_UndoStroke)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly(true);
BENCHMARK(History_RecordStroke)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly(true);
BENCHMARK(History_Memory500Strokes)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);

} // namespace
