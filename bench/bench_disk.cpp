// morvo-bench-disk: a 32 MB ProDOS volume of 500 pictures (one in five
// PackBytes-packed, one in seven DHGR, in ten folders), made by
// tools/make_disks.py, opened and listed, then shown in the picture browser:
// the time to the first screen of thumbnails and to all of them, on as many
// threads as there are cores. Wall-clock medians of several runs.
//   morvo-bench-disk [RUNS]   (default 7)
#include "picturebrowser.h"
#include "picturecatalog.h"
#include "thumbnailmodel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kPictures = 500;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

bool makeVolume(const QString &path)
{
    QProcess python;
    python.start(QStringLiteral("python3"), {QStringLiteral(MORVO_SOURCE_DIR "/tools/make_disks.py"), QStringLiteral("--volume"), path,
                                             QString::number(kPictures)});
    return python.waitForFinished(600000) && python.exitStatus() == QProcess::NormalExit && python.exitCode() == 0;
}

// Waits in the event loop, as the window would, until done() holds.
template <typename Done>
double millisecondsUntil(const QElapsedTimer &timer, Done done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    QTemporaryDir dir;
    const QString volume = dir.filePath(QStringLiteral("bench.po"));
    std::printf("building a 32 MB volume of %d pictures...\n", kPictures);
    if (!makeVolume(volume)) {
        std::fprintf(stderr, "morvo-bench-disk: tools/make_disks.py failed\n");
        return 1;
    }

    std::vector<double> openTimes, firstScreenTimes, allTimes;
    int firstScreenRows = 0;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        const PictureCatalog catalog = PictureCatalog::open(volume);
        openTimes.push_back(timer.nsecsElapsed() / 1e6);
        if (catalog.count() != kPictures) {
            std::fprintf(stderr, "morvo-bench-disk: %d pictures listed, not %d\n", catalog.count(), kPictures);
            return 1;
        }

        PictureBrowser browser;
        browser.resize(420, 900);
        browser.show();
        QCoreApplication::processEvents();
        timer.restart();
        browser.open(volume);
        QListView *view = browser.view();
        const ThumbnailModel *model = browser.model();
        const int last = view->indexAt(QPoint(4, view->viewport()->height() - 4)).row();
        firstScreenRows = last + 1;
        firstScreenTimes.push_back(millisecondsUntil(timer, [&] {
            for (int row = 0; row <= last; ++row)
                if (!model->isDrawn(row))
                    return false;
            return true;
        }));
        allTimes.push_back(millisecondsUntil(timer, [&] { return model->drawnCount() == kPictures; }));
    }
    std::printf("\n%d runs, %d threads drawing thumbnails\n", runs, QThread::idealThreadCount());
    std::printf("%-42s %10s %10s\n", "case", "median ms", "target ms");
    std::printf("%-42s %10.1f %10s\n", "open and list the volume", median(openTimes), "");
    std::printf("%-42s %10.1f %10s\n", qPrintable(QStringLiteral("first screen of thumbnails (%1 rows)").arg(firstScreenRows)),
                median(firstScreenTimes), "500");
    std::printf("%-42s %10.1f %10s\n", "all 500 thumbnails", median(allTimes), "2000");
    return 0;
}
