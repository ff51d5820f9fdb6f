#pragma once

#include "service/match_record.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace orvane {

// LOGIN's refusal test: the marker anywhere in the reply, case-sensitive.
bool containsFailMarker(QByteArrayView reply);

// What one forecast reply tells the window.
struct ForecastReply {
    bool refused = false;       // the reply holds "Failed": nothing else was read
    QByteArray title;           // the subscription text, up to its first "<"
    QByteArray profit;          // the total profit element's text
    bool hasForecasts = false;  // any "<match" after "<PODPISKA>": the count label is set
    QList<MatchRecord> matches; // in reply order
};

// Reads a forecast reply, received whole or in part. Nothing in it can fail:
// missing elements give empty texts. A reply without "<PODPISKA>" reads as an
// empty one, since everything the window shows must follow that tag.
ForecastReply readForecastReply(QByteArrayView reply);
// The same, for a reply that can be shared: the forecasts keep ranges of its
// buffer instead of copies of their texts.
ForecastReply readForecastReply(const QByteArray &reply);

} // namespace orvane
