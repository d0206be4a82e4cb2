// A full refresh of the picture widget for each output family, on pictures of
// random bytes, and the floor every render pays: a new black frame.
#include "morvowidget.h"
#include "picturestate.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QRandomGenerator>

namespace {

void fillRandom(PictureMemory &memory, quint32 seed)
{
    QRandomGenerator rng(seed);
    for (uchar &b : memory)
        b = uchar(rng.generate() & 0xFF);
}

void Floor_NewFrame(benchmark::State &st)
{
    for (auto _ : st) {
        QImage frame(kFrameWidth, kFrameHeight, QImage::Format_RGBA8888);
        frame.fill(Qt::black);
        benchmark::DoNotOptimize(frame.constBits());
    }
}

enum Engine { Book, JexVenderoft, JexDouble, JexSharp, Mono };

void refreshCase(benchmark::State &st, bool dhgr, Engine engine)
{
    MorvoWidget widget;
    PictureState &s = widget.state();
    fillRandom(s.mainMemory, 1);
    fillRandom(s.auxMemory, 2);
    s.isDhgr = dhgr;
    s.jexEngine = engine == JexVenderoft || engine == JexDouble || engine == JexSharp;
    s.schemeType = quint16(engine == JexVenderoft ? 0 : engine == JexSharp ? 2 : 1);
    s.bmFinalDepth = engine == Mono ? 1 : 8;
    s.jexEngine = s.jexEngine && engine != Mono;
    for (auto _ : st) {
        widget.refresh();
        benchmark::DoNotOptimize(widget.image().constBits());
    }
}

void Hgr_Book(benchmark::State &st) { refreshCase(st, false, Book); }
void Hgr_JexVenderoft(benchmark::State &st) { refreshCase(st, false, JexVenderoft); }
void Hgr_JexDouble(benchmark::State &st) { refreshCase(st, false, JexDouble); }
void Hgr_JexSharp(benchmark::State &st) { refreshCase(st, false, JexSharp); }
void Hgr_Mono(benchmark::State &st) { refreshCase(st, false, Mono); }
void Dhgr_Book(benchmark::State &st) { refreshCase(st, true, Book); }
void Dhgr_JexVenderoft(benchmark::State &st) { refreshCase(st, true, JexVenderoft); }
void Dhgr_JexDouble(benchmark::State &st) { refreshCase(st, true, JexDouble); }
void Dhgr_JexSharp(benchmark::State &st) { refreshCase(st, true, JexSharp); }
void Dhgr_Mono(benchmark::State &st) { refreshCase(st, true, Mono); }

#define MORVO_RENDER_BENCH(fn) \
    BENCHMARK(fn)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly(true)

MORVO_RENDER_BENCH(Floor_NewFrame);
MORVO_RENDER_BENCH(Hgr_Book);
MORVO_RENDER_BENCH(Hgr_JexVenderoft);
MORVO_RENDER_BENCH(Hgr_JexDouble);
MORVO_RENDER_BENCH(Hgr_JexSharp);
MORVO_RENDER_BENCH(Hgr_Mono);
MORVO_RENDER_BENCH(Dhgr_Book);
MORVO_RENDER_BENCH(Dhgr_JexVenderoft);
MORVO_RENDER_BENCH(Dhgr_JexDouble);
MORVO_RENDER_BENCH(Dhgr_JexSharp);
MORVO_RENDER_BENCH(Dhgr_Mono);

} // namespace
