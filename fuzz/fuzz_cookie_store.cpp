#include "service/cookie_store.h"

#include <QDate>
#include <QTime>
#include <cstdint>
#include <cstdlib>
#include <vector>

// Input: the first byte picks tight or default limits; then records split at LF,
// each "S host|target|line|line..." (a reply), "Q host|target" (a request) or
// "A seconds" (the clock moves on). A line beginning with "2" goes out as
// Set-Cookie2, with "~" as an unrelated header. "\n" inside a record stands for LF.

namespace {

using orvane::http::CookieStore;
using orvane::http::HeaderField;
using orvane::http::HeaderList;

struct Sent {
    QByteArray name;
    QByteArray value;
    QByteArray replyHost;
};

char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

QByteArray lowered(QByteArrayView text)
{
    QByteArray out;
    for (const char c : text)
        out += lower(c);
    return out;
}

QByteArrayView trimmed(QByteArrayView text)
{
    while (!text.isEmpty() && (text.front() == ' ' || text.front() == '\t'))
        text = text.sliced(1);
    while (!text.isEmpty() && (text.back() == ' ' || text.back() == '\t'))
        text.chop(1);
    return text;
}

bool looksLikeAddress(QByteArrayView host)
{
    for (const char c : host) {
        if (c == ':')
            return true;
        if ((c < '0' || c > '9') && c != '.')
            return false;
    }
    return !host.isEmpty();
}

// The widest a cookie of a reply from `replyHost` may reach: that host, or the
// hosts under it or under its parent from the first dot; addresses only themselves.
bool mayReach(QByteArrayView requestHost, QByteArrayView replyHost)
{
    const QByteArray host = lowered(requestHost);
    const QByteArray origin = lowered(replyHost);
    if (host == origin)
        return true;
    if (origin.isEmpty() || looksLikeAddress(host) || looksLikeAddress(origin))
        return false;
    const auto under = [&](const QByteArray &domain) {
        return host.endsWith(domain.startsWith('.') ? domain : "." + domain);
    };
    const qsizetype dot = origin.indexOf('.');
    return under(origin) || (dot >= 0 && under(origin.sliced(dot)));
}

QByteArray unescaped(QByteArrayView text)
{
    QByteArray out = text.toByteArray();
    out.replace("\\n", "\n");
    return out;
}

[[noreturn]] void violation()
{
    __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray input(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    const CookieStore::Limits limits =
        (data[0] & 1) ? CookieStore::Limits{3, 5, 64} : CookieStore::Limits{};
    CookieStore store(limits);
    QDateTime now(QDate(2024, 3, 1), QTime(12, 0), Qt::UTC);
    std::vector<Sent> offered;

    for (const QByteArray &record : input.split('\n')) {
        if (record.size() < 2)
            continue;
        const QList<QByteArray> fields = record.sliced(2).split('|');
        const QByteArray host = fields.value(0);
        const QByteArray target = fields.value(1);
        switch (record[0]) {
        case 'S': {
            HeaderList headers;
            for (qsizetype i = 2; i < fields.size(); ++i) {
                const QByteArray line = unescaped(fields[i]);
                if (line.startsWith('~')) {
                    headers.append({QByteArray("X-Cookie"), line.sliced(1)});
                    continue;
                }
                const bool v2 = line.startsWith('2');
                const QByteArray value = v2 ? line.sliced(1) : line;
                headers.append({QByteArray(v2 ? "set-cookie2" : "Set-Cookie"), value});
                const qsizetype end = value.indexOf(';');
                const QByteArrayView pair =
                    QByteArrayView(value).first(end < 0 ? value.size() : end);
                const qsizetype eq = pair.indexOf('=');
                if (eq >= 0)
                    offered.push_back({trimmed(pair.first(eq)).toByteArray(),
                                       trimmed(pair.sliced(eq + 1)).toByteArray(), host});
            }
            const qsizetype before = store.count();
            store.storeFromReply(headers, host, target, now);
            if (store.count() > limits.total || store.count() - before > limits.perReply)
                violation();
            break;
        }
        case 'Q': {
            const QByteArray header = store.headerFor(host, target, now);
            if (header.size() > orvane::http::kMaxCookieHeaderBytes)
                violation();
            for (const char c : header) {
                if (quint8(c) < 0x20 || quint8(c) == 0x7f)
                    violation();
            }
            if (header.isEmpty())
                break;
            // Names and values never hold ";" and are trimmed, so "; " splits exactly.
            const QList<QByteArray> pieces = header.split(';');
            for (qsizetype i = 0; i < pieces.size(); ++i) {
                QByteArrayView pair(pieces[i]);
                if (i > 0) {
                    if (!pair.startsWith(' '))
                        violation();
                    pair = pair.sliced(1);
                }
                const qsizetype eq = pair.indexOf('=');
                if (eq <= 0 || eq + 1 == pair.size())
                    violation();
                bool allowed = false;
                for (const Sent &s : offered) {
                    if (s.name == pair.first(eq) && s.value == pair.sliced(eq + 1) &&
                        mayReach(host, s.replyHost)) {
                        allowed = true;
                        break;
                    }
                }
                if (!allowed)
                    violation();
            }
            break;
        }
        case 'A':
            now = now.addSecs(record.sliced(2).left(9).toLongLong());
            break;
        default:
            break;
        }
    }
    return 0;
}
