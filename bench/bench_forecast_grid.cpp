#include "service/forecast_reply.h"
#include "skin/bundled_fonts.h"
#include "table/forecast_grid.h"
#include "table/forecast_rows.h"

#include <QApplication>
#include <array>
#include <benchmark/benchmark.h>

namespace {

// A reply shaped like the service's, with varied teams, leagues, outcomes and
// profits so that sorting has real work to do.
QByteArray makeReply(int forecasts)
{
    static constexpr std::array<const char *, 6> kTeams = {
        "\xc4\xe8\xed\xe0\xec\xee \xcc\xee\xf1\xea\xe2\xe0",
        "Real Madrid",
        "Arsenal & Co",
        "\xd1\xef\xe0\xf0\xf2\xe0\xea",
        "Bayern",
        "Ajax"};
    static constexpr std::array<const char *, 5> kLeagues = {
        "Spain. Primera Division", "England. Premier League", "Russia. Premier League",
        "UEFA. Champions League", "Narnia. Cup"};
    static constexpr std::array<const char *, 4> kMarks = {"+", "-", "=", ""};
    QByteArray reply = "<PODPISKA>VIP 30 days</PODPISKA><profit>1520</profit>\r\n";
    reply.reserve(reply.size() + qsizetype(forecasts) * 420);
    for (int i = 0; i < forecasts; ++i) {
        const QByteArray n = QByteArray::number(i);
        const QByteArray salt = QByteArray::number((i * 7919) % 10007);
        reply += "<match num=\"" + n + "\"><id>" + n + "</id><date>12.03.2026</date><time>" +
                 QByteArray::number(10 + i % 13) + ":" + QByteArray::number(10 + i % 50) +
                 "</time><home> " + kTeams[size_t(i % 6)] + " " + salt + " </home><away> " +
                 kTeams[size_t((i / 6) % 6)] + " </away><kf>1." + QByteArray::number(i % 97) +
                 "</kf><itog>" + kMarks[size_t(i % 4)] +
                 "</itog><bet>1X</bet><score>2:" + QByteArray::number(i % 4) + "</score><liga> " +
                 kLeagues[size_t(i % 5)] + " </liga><orvane>Expert " + salt + "</orvane><musum>" +
                 QByteArray::number(i % 40 - 20) + "</musum></match>\r\n";
    }
    return reply;
}

constexpr int kForecasts = 10000;

void fill(orvane::ForecastGrid &grid, const QList<orvane::MatchRecord> &matches)
{
    grid.ClearRows();
    for (const orvane::MatchRecord &match : matches)
        orvane::AddForecastRow(grid, match);
    // Layout, scroll range and painting of the rows now in view.
    QCoreApplication::processEvents();
}

void BM_FillGrid(benchmark::State &state)
{
    const orvane::ForecastReply reply = orvane::readForecastReply(makeReply(kForecasts));
    orvane::ForecastGrid grid;
    grid.setFlagImages(orvane::FlagImages::bundled());
    grid.resize(798, 576);
    grid.show();
    QCoreApplication::processEvents();
    for (auto _ : state)
        fill(grid, reply.matches);
    if (grid.RowCount() != kForecasts)
        state.SkipWithError("rows missing");
    state.SetItemsProcessed(state.iterations() * kForecasts);
}

void BM_SortByTextColumn(benchmark::State &state)
{
    const orvane::ForecastReply reply = orvane::readForecastReply(makeReply(kForecasts));
    orvane::ForecastGrid grid;
    grid.setFlagImages(orvane::FlagImages::bundled());
    grid.resize(798, 576);
    grid.show();
    for (auto _ : state) {
        state.PauseTiming();
        fill(grid, reply.matches); // back to reply order, as a new load does
        state.ResumeTiming();
        grid.sortByHeaderClick(orvane::ForecastGridModel::Home);
        QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations() * kForecasts);
}

} // namespace

BENCHMARK(BM_FillGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByTextColumn)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!orvane::installBundledFonts())
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
