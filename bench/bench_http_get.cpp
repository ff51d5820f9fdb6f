#include "service/http_client.h"
#include "tests/support/scripted_server.h"

#include <QCoreApplication>
#include <QProcess>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

using orvane::test::ConnectionScript;
using orvane::test::Exchange;
using orvane::test::ScriptedServer;

constexpr qsizetype kBodySize = 16 * 1024 * 1024;
constexpr int kConnections = 64;

QByteArray reply()
{
    QByteArray body(kBodySize, Qt::Uninitialized);
    for (qsizetype i = 0; i < body.size(); ++i)
        body[i] = char('a' + i % 26);
    return "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
           QByteArray::number(kBodySize) + "\r\n\r\n" + body;
}

// Every fetch gets a fresh connection, as a fresh curl does; a new server
// takes over when one's scripts are used up.
class Servers {
public:
    explicit Servers(QByteArray reply) : m_reply(std::move(reply)) {}

    QByteArray nextUrl()
    {
        if (m_used == kConnections) {
            m_server = std::make_unique<ScriptedServer>(QList<ConnectionScript>(
                kConnections,
                {Exchange{m_reply, Exchange::Delivery::Whole, -1, Exchange::Then::Close}}));
            m_used = 0;
        }
        ++m_used;
        return "http://" + m_server->authority() + "/login/orvane.php?login=a&pass=b";
    }

private:
    QByteArray m_reply;
    std::unique_ptr<ScriptedServer> m_server;
    int m_used = kConnections;
};

void BM_HttpGetText16MiB(benchmark::State &state)
{
    Servers servers(reply());
    for (auto _ : state) {
        const QByteArray url = servers.nextUrl();
        const auto start = std::chrono::steady_clock::now();
        orvane::http::HttpClient client;
        QByteArray text;
        const auto failure = orvane::http::HttpGetText(client, url, text);
        const auto stop = std::chrono::steady_clock::now();
        if (failure || text.size() != kBodySize) {
            state.SkipWithError("fetch failed");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    }
    state.SetBytesProcessed(state.iterations() * kBodySize);
}

// The same fetch by curl, timed by curl itself so that starting the process
// does not count against it.
void BM_Curl16MiB(benchmark::State &state)
{
    Servers servers(reply());
    for (auto _ : state) {
        QProcess curl;
        curl.start(QStringLiteral("curl"),
                   {QStringLiteral("-s"), QStringLiteral("-o"), QStringLiteral("/dev/null"),
                    QStringLiteral("-w"), QStringLiteral("%{time_total} %{size_download}"),
                    QString::fromLatin1(servers.nextUrl())});
        if (!curl.waitForFinished(60000) || curl.exitCode() != 0) {
            state.SkipWithError("curl failed; is it installed?");
            break;
        }
        const QList<QByteArray> out = curl.readAllStandardOutput().split(' ');
        if (out.size() != 2 || out[1].toLongLong() != kBodySize) {
            state.SkipWithError("curl fetched the wrong size");
            break;
        }
        state.SetIterationTime(out[0].toDouble());
    }
    state.SetBytesProcessed(state.iterations() * kBodySize);
}

} // namespace

BENCHMARK(BM_HttpGetText16MiB)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Curl16MiB)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
