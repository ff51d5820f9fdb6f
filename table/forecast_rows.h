#pragma once

#include "forecast_grid.h"
#include "match_record.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

namespace orvane {

// Appends one row to the table and fills it from the forecast: texts, flag,
// odds with a decimal comma, outcome colours and hint, profit.
void AddForecastRow(ForecastGrid &NG, const MatchRecord &record);

// Every occurrence of `pattern` replaced, searching again from the start after
// each replacement, so that replaced text that forms a new occurrence with its
// neighbours is replaced in turn. An empty text or pattern gives the text
// unchanged.
//
// Searching again would never end when the replacement holds the pattern, and
// can grow without end in other cases too (such as "ab" -> "bbaa"). Then, and
// whenever more than 16 * (text size + 64) replacements would be needed, the
// result is instead every occurrence in the original text replaced from left
// to right, without searching the inserted text again.
QByteArray ReplaceAll(QByteArrayView text, QByteArrayView pattern, QByteArrayView replacement);

// The profit of a forecast: the text must be exactly a 32-bit integer —
// leading spaces, at most one sign, then decimal digits, or hexadecimal digits
// after "$", "x", "X", "0x" or "0X" (at most eight significant ones, taken as
// a two's-complement pattern, a "-" negating it modulo 2^32). Anything else,
// including a decimal value out of range, reads as 0.
qint32 readProfit(QByteArrayView musum);

} // namespace orvane
