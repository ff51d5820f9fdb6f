#pragma once

#include "service/forecast_reply.h"
#include "service/tag_value.h"

// The forecast reply read the slow, obvious way: one search of the forecast's
// text per field. The fast reader must agree with it on every input.
namespace orvane::test {

inline QByteArray referenceTrimmed(QByteArray text)
{
    while (!text.isEmpty() && quint8(text.front()) <= 32)
        text.remove(0, 1);
    while (!text.isEmpty() && quint8(text.back()) <= 32)
        text.chop(1);
    return text;
}

inline ForecastReply referenceReadForecastReply(const QByteArray &reply)
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
        const QByteArray home = referenceTrimmed(TagValue(text, "home"));
        const QByteArray away = referenceTrimmed(TagValue(text, "away"));
        const QByteArray liga = referenceTrimmed(TagValue(text, "liga"));
        const QByteArray id = TagValue(text, "id"), date = TagValue(text, "date"),
                         time = TagValue(text, "time"), kf = TagValue(text, "kf"),
                         itog = TagValue(text, "itog"), bet = TagValue(text, "bet"),
                         score = TagValue(text, "score"), orvane = TagValue(text, "orvane"),
                         musum = TagValue(text, "musum");
        const MatchRecord m = MatchRecord::fromValues(
            {id, date, time, home, away, kf, itog, bet, score, liga, orvane, musum});
        result.matches.append(m);
    }
    return result;
}

} // namespace orvane::test
