// The text screen editor: a full paint of a grid of 80 columns full of
// characters at both scales, and the road of one typed key to the picture
// view: the grid's edit, its screen text, the screen drawn into picture
// memory, and the picture re-rendered.
#include "morvowidget.h"
#include "resourcepath.h"
#include "textgridwidget.h"
#include "textscreen.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QRandomGenerator>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// 24 rows of 80 characters: ASCII, inverse characters and MouseText.
QString fullScreen()
{
    QRandomGenerator rng(7);
    QString text = QStringLiteral("80");
    for (int r = 0; r < 24; ++r) {
        if (r > 0)
            text += QLatin1Char('\n');
        for (int c = 0; c < 80; ++c) {
            const int pick = int(rng.bounded(10));
            const char16_t base = char16_t(0x21 + rng.bounded(0x5E));
            text += QChar(pick < 6 ? base : pick < 9 ? char16_t(0xF000 + base - 0x20) : char16_t(0xC4));
        }
    }
    return text;
}

void sendKey(QWidget *widget, int key, const QString &text)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &event);
}

double median(std::vector<double> values)
{
    auto middle = values.begin() + values.size() / 2;
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

double microseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

void gridPaint(benchmark::State &st, int scale)
{
    if (appleFontFamily().isEmpty()) {
        st.SkipWithError("the Apple II font is not available");
        return;
    }
    TextGridWidget grid;
    grid.setScale(scale);
    grid.setScreenText(fullScreen());
    QImage screen(grid.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : st) {
        grid.render(&screen);
        benchmark::DoNotOptimize(screen.constBits());
    }
}

void Text_GridPaint80_Scale2(benchmark::State &st) { gridPaint(st, 2); }
void Text_GridPaint80_Scale4(benchmark::State &st) { gridPaint(st, 4); }

// One iteration types a letter into the middle of the full screen and takes
// it all the way to the rendered picture; Left puts the cursor back, so every
// key lands in the same full row.
void Text_KeyToPicture(benchmark::State &st)
{
    const QString family = appleFontFamily();
    if (family.isEmpty()) {
        st.SkipWithError("the Apple II font is not available");
        return;
    }
    TextGridWidget grid;
    grid.setScreenText(fullScreen());
    for (int i = 0; i < 40; ++i)
        sendKey(&grid, Qt::Key_Down, QString());
    MorvoWidget picture;

    std::vector<double> edits;
    std::vector<double> draws;
    std::vector<double> refreshes;
    int letter = 0;
    for (auto _ : st) {
        const QChar ch(char16_t(u'A' + letter++ % 26));
        const Clock::time_point start = Clock::now();
        sendKey(&grid, Qt::Key_A + (ch.unicode() - u'A'), QString(ch));
        const QString text = grid.screenText();
        const Clock::time_point edited = Clock::now();
        renderTextScreen(picture.state(), text, family);
        const Clock::time_point drawn = Clock::now();
        picture.refresh();
        benchmark::DoNotOptimize(picture.image().constBits());
        const Clock::time_point refreshed = Clock::now();
        sendKey(&grid, Qt::Key_Left, QString());
        edits.push_back(microseconds(edited - start));
        draws.push_back(microseconds(drawn - edited));
        refreshes.push_back(microseconds(refreshed - drawn));
    }
    st.counters["edit_p50_us"] = median(edits);
    st.counters["text_to_memory_p50_us"] = median(draws);
    st.counters["refresh_p50_us"] = median(refreshes);
}

#define MORVO_TEXT_BENCH(fn) \
    BENCHMARK(fn)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly(true)

MORVO_TEXT_BENCH(Text_GridPaint80_Scale2);
MORVO_TEXT_BENCH(Text_GridPaint80_Scale4);
MORVO_TEXT_BENCH(Text_KeyToPicture);

} // namespace
