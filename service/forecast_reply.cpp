#include "service/forecast_reply.h"

#include "service/tag_value.h"

#include <QtEndian>
#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orvane {

namespace {

constexpr QByteArrayView kSubscriptionTag = "<PODPISKA>";
constexpr QByteArrayView kMatchOpen = "<match";
constexpr QByteArrayView kMatchClose = "</match>";

// Cuts codes 0 to 32 from both ends, as the service pads team and league names.
MatchRecord::Range trimmedRange(QByteArrayView text, MatchRecord::Range range)
{
    while (range.size > 0 && quint8(text[range.begin]) <= 32) {
        ++range.begin;
        --range.size;
    }
    while (range.size > 0 && quint8(text[range.begin + range.size - 1]) <= 32)
        --range.size;
    return range;
}

struct Field {
    QByteArrayView name;
    bool trimmed;
};

// In MatchRecord::Field order.
constexpr std::array<Field, MatchRecord::kFieldCount> kFields{{
    {"id", false},
    {"date", false},
    {"time", false},
    {"home", true},
    {"away", true},
    {"kf", false},
    {"itog", false},
    {"bet", false},
    {"score", false},
    {"liga", true},
    {"orvane", false},
    {"musum", false},
}};
constexpr int kFieldCount = int(kFields.size());

qsizetype findFrom(QByteArrayView text, char c, qsizetype from)
{
    if (from >= text.size())
        return -1;
    const void *at = std::memchr(text.data() + from, c, std::size_t(text.size() - from));
    return at ? static_cast<const char *>(at) - text.data() : -1;
}

qsizetype findFrom(QByteArrayView text, QByteArrayView needle, qsizetype from)
{
    const std::string_view haystack(text.data(), std::size_t(text.size()));
    const std::size_t at = haystack.find(
        std::string_view(needle.data(), std::size_t(needle.size())), std::size_t(from));
    return at == std::string_view::npos ? -1 : qsizetype(at);
}

// Calls `visit` with the offset of every "<" of `text` from `from` on, in
// order. A reply has a "<" every few bytes, so a search call per tag would
// cost more than the tag's own handling: this tests 16 bytes at a time and
// walks the bits of the matches.
template <typename Visit> void forEachLessThan(QByteArrayView text, qsizetype from, Visit &&visit)
{
    const char *const data = text.data();
    const qsizetype size = text.size();
    qsizetype at = from;
#if defined(__SSE2__)
    const __m128i lessThan = _mm_set1_epi8('<');
    for (; at + 16 <= size; at += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + at));
        unsigned bits = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(block, lessThan)));
        while (bits != 0) {
            visit(at + qsizetype(__builtin_ctz(bits)));
            bits &= bits - 1;
        }
    }
#endif
    for (; at < size; ++at) {
        if (data[at] == '<')
            visit(at);
    }
}

// Inlined with the constant names it is given, so a tag is matched in one or
// two loads rather than byte by byte.
bool sameBytes(const char *at, QByteArrayView name)
{
    return std::memcmp(at, name.data(), std::size_t(name.size())) == 0;
}

// For each possible first letter, the fields whose names begin with it: the
// tag scan looks at every "<" of the reply, so this lookup must be cheap.
constexpr auto kFieldsByFirstLetter = [] {
    std::array<std::array<qint8, 3>, 256> table{};
    for (auto &entry : table)
        entry = {-1, -1, -1};
    for (int i = 0; i < kFieldCount; ++i) {
        auto &entry = table[quint8(kFields[i].name.front())];
        *std::find(entry.begin(), entry.end(), qint8(-1)) = qint8(i);
    }
    return table;
}();

// Each field's name with its closing ">", packed into the low bytes of a
// word with the mask of those bytes, so that a tag is matched with one load.
struct PackedName {
    quint64 word = 0;
    quint64 mask = 0;
};
constexpr auto kPackedNames = [] {
    std::array<PackedName, kFieldCount> packed{};
    for (int i = 0; i < kFieldCount; ++i) {
        const QByteArrayView name = kFields[i].name;
        for (qsizetype j = 0; j <= name.size(); ++j) {
            const char c = j < name.size() ? name[j] : '>';
            packed[i].word |= quint64(quint8(c)) << (8 * j);
            packed[i].mask |= quint64(0xff) << (8 * j);
        }
    }
    return packed;
}();
static_assert(std::all_of(kFields.begin(), kFields.end(),
                          [](const Field &field) { return field.name.size() < 8; }),
              "a name and its \">\" must fit in a word");

// Which field a tag names, given the text right after "<" or "</"; -1 for none.
int fieldNamed(QByteArrayView rest)
{
    if (rest.isEmpty())
        return -1;
    const auto &candidates = kFieldsByFirstLetter[quint8(rest.front())];
    if (rest.size() >= 8) {
        const quint64 word = qFromLittleEndian<quint64>(rest.data());
        for (const qint8 field : candidates) {
            if (field < 0)
                return -1;
            if ((word & kPackedNames[field].mask) == kPackedNames[field].word)
                return field;
        }
        return -1;
    }
    for (const qint8 field : candidates) {
        if (field < 0)
            return -1;
        const QByteArrayView name = kFields[field].name;
        if (rest.size() > name.size() && rest[name.size()] == '>' && sameBytes(rest.data(), name))
            return field;
    }
    return -1;
}

// A forecast without "</match>" runs on to the next one's closing tag, so
// several forecasts can share one stretch of text, each starting later in it.
// One pass over the reply's tags collects the field tags of the open stretch;
// when its "</match>" comes, every forecast of it gets its fields as ranges,
// found by walking the tags with forward pointers: ranges of the whole reply
// when it can be shared, else of one copy of the stretch's text. Time and
// memory stay linear whatever the server sends.
class Stretch {
public:
    // `shared`, when given, is the whole reply, of which `text` begins
    // `offset` bytes in.
    Stretch(QByteArrayView text, const QByteArray *shared, qsizetype offset)
        : m_text(text), m_shared(shared), m_offset(offset)
    {
    }

    bool isOpen() const { return !m_pending.empty(); }

    void addForecast(qsizetype begin)
    {
        if (m_pending.empty()) {
            for (Tags &tags : m_tags) {
                tags.opens.clear(); // keeps the capacity for the next stretch
                tags.closes.clear();
                tags.nextOpen = tags.nextClose = 0;
            }
        }
        m_pending.push_back(begin);
    }

    void addFieldTag(int field, bool closing, qsizetype at)
    {
        (closing ? m_tags[field].closes : m_tags[field].opens).push_back(at);
    }

    // The stretch's "</match>" stands at `end`: append its forecasts, in order.
    void close(QList<MatchRecord> &records, qsizetype end)
    {
        if (m_shared) {
            for (const qsizetype begin : m_pending)
                records.emplace_back(*m_shared, rangesAt(begin, -m_offset, *m_shared));
            m_pending.clear();
            return;
        }
        const qsizetype base = m_pending.front();
        if (end - base > std::numeric_limits<qint32>::max()) {
            abandon(records); // beyond what a record's offsets can address
            return;
        }
        const QByteArray text = m_text.sliced(base, end - base).toByteArray();
        for (const qsizetype begin : m_pending)
            records.emplace_back(text, rangesAt(begin, base, text));
        m_pending.clear();
    }

    // Forecasts that no "</match>" follows have no text: they stay empty.
    void abandon(QList<MatchRecord> &records)
    {
        records.resize(records.size() + qsizetype(m_pending.size()));
        m_pending.clear();
    }

private:
    // The fields of the forecast at `begin`, as ranges of `recordText`, which
    // begins at `origin` of the text read.
    MatchRecord::Ranges rangesAt(qsizetype begin, qsizetype origin, QByteArrayView recordText)
    {
        MatchRecord::Ranges ranges{};
        for (int i = 0; i < kFieldCount; ++i) {
            Tags &tags = m_tags[i];
            while (tags.nextOpen < tags.opens.size() && tags.opens[tags.nextOpen] < begin)
                ++tags.nextOpen;
            if (tags.nextOpen == tags.opens.size())
                continue;
            const qsizetype valueBegin = tags.opens[tags.nextOpen] + kFields[i].name.size() + 2;
            while (tags.nextClose < tags.closes.size() && tags.closes[tags.nextClose] < valueBegin)
                ++tags.nextClose;
            if (tags.nextClose == tags.closes.size())
                continue;
            const MatchRecord::Range value{qint32(valueBegin - origin),
                                           qint32(tags.closes[tags.nextClose] - valueBegin)};
            ranges[i] = kFields[i].trimmed ? trimmedRange(recordText, value) : value;
        }
        return ranges;
    }

    struct Tags {
        std::vector<qsizetype> opens;  // "<name>" in the stretch
        std::vector<qsizetype> closes; // "</name>" in the stretch
        std::size_t nextOpen = 0;
        std::size_t nextClose = 0;
    };
    QByteArrayView m_text;
    const QByteArray *m_shared;
    qsizetype m_offset;
    std::array<Tags, kFieldCount> m_tags;
    std::vector<qsizetype> m_pending; // where each open forecast's text begins
};

bool startsWith(QByteArrayView text, qsizetype at, QByteArrayView prefix)
{
    return text.size() - at >= prefix.size() && sameBytes(text.data() + at, prefix);
}

} // namespace

bool containsFailMarker(QByteArrayView reply)
{
    return findFrom(reply, "Fail", 0) >= 0;
}

namespace {

ForecastReply read(QByteArrayView reply, const QByteArray *shared)
{
    ForecastReply result;
    if (findFrom(reply, "Failed", 0) >= 0) {
        result.refused = true;
        return result;
    }
    const qsizetype subscription = findFrom(reply, kSubscriptionTag, 0);
    if (subscription < 0)
        return result;
    const qsizetype bodyOffset = subscription + kSubscriptionTag.size();
    const QByteArrayView body = reply.sliced(bodyOffset);

    const qsizetype titleEnd = findFrom(body, '<', 0);
    result.title = body.first(titleEnd < 0 ? 0 : titleEnd).toByteArray();
    result.profit = TagValue(body, "profit");

    Stretch stretch(body, shared, bodyOffset);
    if (titleEnd < 0)
        return result;
    // Inlined: it runs for every "<" of the reply.
    forEachLessThan(
        body, titleEnd, [&](qsizetype lt) __attribute__((always_inline)) {
            const char next = lt + 1 < body.size() ? body[lt + 1] : '\0';
            if (next == 'm' && startsWith(body, lt, kMatchOpen)) {
                result.hasForecasts = true;
                stretch.addForecast(lt + kMatchOpen.size());
            } else if (!stretch.isOpen()) {
                return;
            } else if (next == '/' && startsWith(body, lt, kMatchClose)) {
                stretch.close(result.matches, lt);
            } else {
                const bool closing = next == '/';
                const qsizetype nameAt = lt + (closing ? 2 : 1);
                const int field = fieldNamed(body.sliced(nameAt));
                if (field >= 0)
                    stretch.addFieldTag(field, closing, lt);
            }
        });
    stretch.abandon(result.matches);
    return result;
}

} // namespace

ForecastReply readForecastReply(QByteArrayView reply)
{
    return read(reply, nullptr);
}

ForecastReply readForecastReply(const QByteArray &reply)
{
    // A record addresses its text with 32-bit offsets.
    const bool shareable = reply.size() <= std::numeric_limits<qint32>::max();
    return read(reply, shareable ? &reply : nullptr);
}

} // namespace orvane
