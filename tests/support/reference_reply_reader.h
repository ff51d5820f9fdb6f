#pragma once

#include "forecast_reply.h"
#include "tag_value.h"

// The forecast reply read the slow, obvious way: one search of the forecast's
// text per field. The fast reader must agree with it on every input.
namespace orvane::test {

inline QByteArray ReferenceTrimmed(QByteArray text)
{
    while (!text.isEmpty() && quint8(text.front()) <= 32)
        text.remove(0, 1);
    while (!text.isEmpty() && quint8(text.back()) <= 32)
        text.chop(1);
    return text;
}

inline ForecastReply ReferenceReadForecastReply(const QByteArray &reply)
{
    ForecastReply result;
    if (reply.contains("Failed")) {
        result.refused = true;
        return result;
    }
    const qsizetype subscription = reply.indexOf("<PODPISKA>");
    if (subscription < 0)
        return result;
    QByteArray body = reply.mid(subscription + 10);
    result.title = body.left(body.indexOf('<') < 0 ? 0 : body.indexOf('<'));
    result.profit = TagValue(body, "profit");
    result.hasForecasts = body.contains("<match");
    while (body.contains("<match")) {
        body = body.mid(body.indexOf("<match") + 6);
        const qsizetype close = body.indexOf("</match>");
        const QByteArray text = close < 0 ? QByteArray() : body.left(close);
        MatchRecord m;
        m.id = TagValue(text, "id");
        m.date = TagValue(text, "date");
        m.time = TagValue(text, "time");
        m.home = ReferenceTrimmed(TagValue(text, "home"));
        m.away = ReferenceTrimmed(TagValue(text, "away"));
        m.kf = TagValue(text, "kf");
        m.itog = TagValue(text, "itog");
        m.bet = TagValue(text, "bet");
        m.score = TagValue(text, "score");
        m.liga = ReferenceTrimmed(TagValue(text, "liga"));
        m.orvane = TagValue(text, "orvane");
        m.musum = TagValue(text, "musum");
        result.matches.append(m);
    }
    return result;
}

} // namespace orvane::test
