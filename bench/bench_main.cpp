// morvo-bench: Google Benchmark cases with a closing table of medians, each
// against the floor of creating and filling one 562 x 192 RGBA frame. The
// table gives wall-clock and CPU medians: on a busy machine the wall clock
// also counts the time other processes held the core.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Median {
    std::string name;
    double microseconds;
    double cpuMicroseconds;
};

class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians.push_back({run.run_name.function_name,
                                   run.GetAdjustedRealTime() * multiplier(run.time_unit),
                                   run.GetAdjustedCPUTime() * multiplier(run.time_unit)});
        }
    }

    std::vector<Median> medians;

private:
    static double multiplier(benchmark::TimeUnit unit)
    {
        switch (unit) {
        case benchmark::kNanosecond: return 1e-3;
        case benchmark::kMicrosecond: return 1.0;
        case benchmark::kMillisecond: return 1e3;
        default: return 1e6;
        }
    }
};

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    Median floor{};
    for (const Median &m : reporter.medians)
        if (m.name == "Floor_NewFrame")
            floor = m;
    const auto ratio = [](double value, double base) { return base > 0 ? value / base : 0.0; };
    std::printf("\n%-34s %12s %10s %12s %10s\n", "case", "median us", "x floor", "cpu us", "x floor");
    for (const Median &m : reporter.medians)
        std::printf("%-34s %12.1f %10.2f %12.1f %10.2f\n", m.name.c_str(), m.microseconds,
                    ratio(m.microseconds, floor.microseconds), m.cpuMicroseconds,
                    ratio(m.cpuMicroseconds, floor.cpuMicroseconds));
    benchmark::Shutdown();
    return 0;
}
