#include "service/forecast_reply.h"

#include <benchmark/benchmark.h>
#include <string_view>

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

BENCHMARK_MAIN();
