#pragma once

#include <QByteArrayView>
#include <QtGlobal>

namespace orvane {

// The profit of a forecast: the text must be exactly a 32-bit integer —
// leading spaces, at most one sign, then decimal digits, or hexadecimal digits
// after "$", "x", "X", "0x" or "0X" (at most eight significant ones, taken as
// a two's-complement pattern, a "-" negating it modulo 2^32). Anything else,
// including a decimal value out of range, reads as 0.
qint32 readProfit(QByteArrayView musum);

} // namespace orvane
