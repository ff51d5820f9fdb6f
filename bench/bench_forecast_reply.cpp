#include "bench/figure_row.h"
#include "service/forecast_reply.h"

#include <benchmark/benchmark.h>
#include <map>
#include <string_view>
#include <vector>

namespace {

// A reply shaped like the service's: every forecast with all twelve fields.
QByteArray makeReply(int forecasts)
{
    QByteArray reply = "<PODPISKA>VIP 30 days</PODPISKA><profit>1520</profit>\r\n";
    reply.reserve(reply.size() + qsizetype(forecasts) * 400);
    for (int i = 0; i < forecasts; ++i) {
        const QByteArray n = QByteArray::number(i);
        reply += "<match num=\"" + n + "\"><id>" + n +
                 "</id><date>12.03.2026</date><time>19:45</time>"
                 "<home> \xc4\xe8\xed\xe0\xec\xee \xcc\xee\xf1\xea\xe2\xe0 </home>"
                 "<away> Real Madrid </away><kf>1.85</kf><itog>+</itog><bet>1X</bet>"
                 "<score>2:1</score><liga> Spain. Primera Division </liga><orvane>Expert " +
                 n + "</orvane><musum>" + QByteArray::number(i % 40 - 20) + "</musum></match>\r\n";
    }
    return reply;
}

void BM_ReadForecastReply(benchmark::State &state)
{
    const QByteArray reply = makeReply(int(state.range(0)));
    for (auto _ : state) {
        orvane::ForecastReply read = orvane::readForecastReply(reply);
        benchmark::DoNotOptimize(read.matches.data());
    }
    state.SetBytesProcessed(state.iterations() * reply.size());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The memory-speed limit: finding every forecast and nothing more.
void BM_RawScanForMatch(benchmark::State &state)
{
    const QByteArray reply = makeReply(int(state.range(0)));
    const std::string_view text(reply.constData(), std::size_t(reply.size()));
    for (auto _ : state) {
        std::size_t count = 0;
        for (std::size_t at = text.find("<match"); at != std::string_view::npos;
             at = text.find("<match", at + 1))
            ++count;
        benchmark::DoNotOptimize(count);
    }
    state.SetBytesProcessed(state.iterations() * reply.size());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_ReadForecastReply)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawScanForMatch)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

namespace {

// Prints Google Benchmark's own lines, and keeps each benchmark's CPU time per
// iteration for the ratio rows at the end: CPU time, kernel's included, holds
// better than wall-clock time when other work shares the machine.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.error_occurred)
                continue;
            Times &times = m_times[run.run_name.function_name][run.run_name.args];
            if (run.run_type == Run::RT_Iteration)
                times.each.push_back(run.GetAdjustedCPUTime());
            else if (run.aggregate_name == "median")
                times.median = run.GetAdjustedCPUTime();
        }
    }

    // The reading's speed beside the bare scan's, at every size both ran.
    void printRatios() const
    {
        const auto read = m_times.find("BM_ReadForecastReply");
        const auto scan = m_times.find("BM_RawScanForMatch");
        if (read == m_times.end() || scan == m_times.end())
            return;
        for (const auto &[size, readTimes] : read->second) {
            const auto scanTimes = scan->second.find(size);
            if (scanTimes == scan->second.end())
                continue;
            const double readUs = readTimes.value();
            const double scanUs = scanTimes->second.value();
            const double share = scanUs / readUs; // speed of reading / speed of the scan
            orvane::bench::printRow({"reply reading, " + size + " forecasts (time per reply)",
                                     orvane::bench::format("%.0f us", readUs),
                                     orvane::bench::format("raw string_view scan %.0f us", scanUs),
                                     readUs / scanUs, "<= 2.0x (half the scan's speed)",
                                     share >= 0.5});
        }
    }

private:
    struct Times {
        std::vector<double> each;
        double median = -1;
        double value() const { return median >= 0 ? median : orvane::bench::median(each); }
    };
    std::map<std::string, std::map<std::string, Times>> m_times;
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
