// HttpGetText beside curl, fetching the same 16 MiB body from the same
// loopback server, interleaved.
#include "bench/figure_row.h"
#include "service/http_client.h"
#include "tests/support/scripted_server.h"

#include <QCoreApplication>
#include <QProcess>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using orvane::test::ConnectionScript;
using orvane::test::Exchange;
using orvane::test::ScriptedServer;

constexpr qsizetype kBodySize = 16 * 1024 * 1024;
constexpr int kConnections = 64;

[[noreturn]] void fail(const char *why)
{
    std::fprintf(stderr, "bench_http_get: %s\n", why);
    std::exit(1);
}

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

// One fetch by HttpGetText on a fresh client and connection, in ms.
double httpGetTextMs(Servers &servers)
{
    const QByteArray url = servers.nextUrl();
    const auto start = std::chrono::steady_clock::now();
    orvane::http::HttpClient client;
    QByteArray text;
    const auto failure = orvane::http::HttpGetText(client, url, text);
    const auto stop = std::chrono::steady_clock::now();
    if (failure || text.size() != kBodySize)
        fail("HttpGetText failed");
    return std::chrono::duration<double, std::milli>(stop - start).count();
}

// The same fetch by curl, timed by curl itself so that starting the process
// does not count against it.
double curlMs(Servers &servers)
{
    QProcess curl;
    curl.start(QStringLiteral("curl"),
               {QStringLiteral("-s"), QStringLiteral("-o"), QStringLiteral("/dev/null"),
                QStringLiteral("-w"), QStringLiteral("%{time_total} %{size_download}"),
                QString::fromLatin1(servers.nextUrl())});
    if (!curl.waitForFinished(60000) || curl.exitCode() != 0)
        fail("curl failed; is it installed?");
    const QList<QByteArray> out = curl.readAllStandardOutput().split(' ');
    if (out.size() != 2 || out[1].toLongLong() != kBodySize)
        fail("curl fetched the wrong size");
    return out[0].toDouble() * 1000;
}

} // namespace

// HttpGetText and curl take turns, the first of each pair alternating, so a
// change in the machine's load falls on both alike.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int runs = 61;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::atoi(argv[i + 1]);
    }
    Servers servers(reply());
    httpGetTextMs(servers); // warms the caches of both sides
    curlMs(servers);
    std::vector<double> ours, curls;
    for (int run = 0; run < runs; ++run) {
        if (run % 2) {
            curls.push_back(curlMs(servers));
            ours.push_back(httpGetTextMs(servers));
        } else {
            ours.push_back(httpGetTextMs(servers));
            curls.push_back(curlMs(servers));
        }
    }
    const double mine = orvane::bench::median(ours);
    const double floor = orvane::bench::median(curls);
    orvane::bench::printRow({"HttpGetText, 16 MiB body over loopback (median of " +
                                 std::to_string(runs) + ", interleaved)",
                             orvane::bench::format("%.2f ms", mine),
                             orvane::bench::format("curl %.2f ms", floor), mine / floor, "<= 1.0x",
                             mine <= floor});
    return 0;
}
