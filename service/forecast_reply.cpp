#include "forecast_reply.h"

#include "tag_value.h"

#include <array>
#include <vector>

namespace orvane {

namespace {

constexpr QByteArrayView kSubscriptionTag = "<PODPISKA>";
constexpr QByteArrayView kMatchOpen = "<match";
constexpr QByteArrayView kMatchClose = "</match>";

// Cuts codes 0 to 32 from both ends, as the service pads team and league names.
QByteArrayView Trimmed(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && quint8(text[begin]) <= 32)
        ++begin;
    while (end > begin && quint8(text[end - 1]) <= 32)
        --end;
    return text.sliced(begin, end - begin);
}

struct Field {
    QByteArrayView name;
    QByteArray MatchRecord::*member;
    bool trimmed;
};

constexpr std::array<Field, 12> kFields{{
    {"id", &MatchRecord::id, false},
    {"date", &MatchRecord::date, false},
    {"time", &MatchRecord::time, false},
    {"home", &MatchRecord::home, true},
    {"away", &MatchRecord::away, true},
    {"kf", &MatchRecord::kf, false},
    {"itog", &MatchRecord::itog, false},
    {"bet", &MatchRecord::bet, false},
    {"score", &MatchRecord::score, false},
    {"liga", &MatchRecord::liga, true},
    {"orvane", &MatchRecord::orvane, false},
    {"musum", &MatchRecord::musum, false},
}};
constexpr int kFieldCount = int(kFields.size());

// A forecast without "</match>" runs on to the next one's closing tag, so
// several forecasts can share one stretch of text, each starting later in it.
// The field tags of such a stretch are indexed once and walked with forward
// pointers, and forecasts that reach the same element share its value, which
// keeps time and memory linear in the reply whatever the server sends.
class Stretch {
public:
    void Index(QByteArrayView text, qsizetype begin, qsizetype end)
    {
        m_text = text;
        for (int i = 0; i < kFieldCount; ++i) {
            m_tags[i].opens.clear();
            m_tags[i].closes.clear();
            m_tags[i].nextOpen = 0;
            m_tags[i].nextClose = 0;
            m_tags[i].valueAt = -1;
            m_tags[i].value = QByteArray();
        }
        for (qsizetype lt = text.indexOf('<', begin); lt >= 0 && lt < end;
             lt = text.indexOf('<', lt + 1)) {
            const bool closing = lt + 1 < end && text[lt + 1] == '/';
            const QByteArrayView name = text.sliced(lt + (closing ? 2 : 1), end - lt - (closing ? 2 : 1));
            for (int i = 0; i < kFieldCount; ++i) {
                const QByteArrayView field = kFields[i].name;
                if (name.size() > field.size() && name[field.size()] == '>' && name.startsWith(field)) {
                    (closing ? m_tags[i].closes : m_tags[i].opens).push_back(lt);
                    break;
                }
            }
        }
    }

    // Fills a record whose text runs from `begin` to the stretch's end.
    // Calls must come in order of increasing `begin`.
    void Fill(MatchRecord &record, qsizetype begin)
    {
        for (int i = 0; i < kFieldCount; ++i) {
            Tags &tags = m_tags[i];
            while (tags.nextOpen < tags.opens.size() && tags.opens[tags.nextOpen] < begin)
                ++tags.nextOpen;
            if (tags.nextOpen == tags.opens.size())
                continue;
            const qsizetype open = tags.opens[tags.nextOpen];
            if (open != tags.valueAt) {
                tags.valueAt = open;
                tags.value = ValueAfter(i, open);
            }
            record.*kFields[i].member = tags.value;
        }
    }

private:
    QByteArray ValueAfter(int field, qsizetype open)
    {
        Tags &tags = m_tags[field];
        const qsizetype valueBegin = open + kFields[field].name.size() + 2;
        while (tags.nextClose < tags.closes.size() && tags.closes[tags.nextClose] < valueBegin)
            ++tags.nextClose;
        if (tags.nextClose == tags.closes.size())
            return {};
        const QByteArrayView value = m_text.sliced(valueBegin, tags.closes[tags.nextClose] - valueBegin);
        return (kFields[field].trimmed ? Trimmed(value) : value).toByteArray();
    }

    struct Tags {
        std::vector<qsizetype> opens;  // "<name>" wholly inside the stretch
        std::vector<qsizetype> closes; // "</name>" wholly inside the stretch
        std::size_t nextOpen = 0;
        std::size_t nextClose = 0;
        qsizetype valueAt = -1;
        QByteArray value;
    };
    QByteArrayView m_text;
    std::array<Tags, kFieldCount> m_tags;
};

} // namespace

bool ContainsFailMarker(QByteArrayView reply)
{
    return reply.contains(QByteArrayView("Fail"));
}

ForecastReply ReadForecastReply(QByteArrayView reply)
{
    ForecastReply result;
    if (reply.contains(QByteArrayView("Failed"))) {
        result.refused = true;
        return result;
    }
    const qsizetype subscription = reply.indexOf(kSubscriptionTag);
    if (subscription < 0)
        return result;
    const QByteArrayView body = reply.sliced(subscription + kSubscriptionTag.size());

    const qsizetype titleEnd = body.indexOf('<');
    result.title = body.first(titleEnd < 0 ? 0 : titleEnd).toByteArray();
    result.profit = TagValue(body, "profit");

    Stretch stretch;
    qsizetype stretchEnd = -1; // closing tag that ends the indexed stretch
    bool noMoreCloses = false;
    for (qsizetype at = body.indexOf(kMatchOpen); at >= 0; at = body.indexOf(kMatchOpen, at + 1)) {
        result.hasForecasts = true;
        const qsizetype begin = at + kMatchOpen.size();
        MatchRecord &record = result.matches.emplace_back();
        if (noMoreCloses)
            continue;
        if (stretchEnd < begin) {
            stretchEnd = body.indexOf(kMatchClose, begin);
            if (stretchEnd < 0) {
                noMoreCloses = true;
                continue;
            }
            stretch.Index(body, begin, stretchEnd);
        }
        stretch.Fill(record, begin);
    }
    return result;
}

} // namespace orvane
