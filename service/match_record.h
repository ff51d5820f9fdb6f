#pragma once

#include <QByteArray>

namespace orvane {

// One forecast of a reply; every field is the 8-bit text of the child element
// of the same name, empty when the element is missing.
struct MatchRecord {
    QByteArray id;
    QByteArray date;
    QByteArray time;
    QByteArray home;  // trimmed
    QByteArray away;  // trimmed
    QByteArray kf;    // odds, with a decimal point
    QByteArray itog;  // outcome mark: "+", "-", "=" or anything else for open
    QByteArray bet;
    QByteArray score;
    QByteArray liga;  // "Country. League", trimmed
    QByteArray orvane; // the tipster
    QByteArray musum; // profit, an integer as text

    friend bool operator==(const MatchRecord &, const MatchRecord &) = default;
};

} // namespace orvane
