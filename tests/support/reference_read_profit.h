#pragma once

#include <QByteArray>
#include <limits>

// The profit text read another way: prefixes cut off one by one, the digits
// checked, and the number left to QByteArray's own conversion.
namespace orvane::test {

inline qint32 referenceReadProfit(QByteArray text)
{
    while (text.startsWith(' '))
        text.remove(0, 1);
    bool negative = false;
    if (text.startsWith('+') || text.startsWith('-')) {
        negative = text.startsWith('-');
        text.remove(0, 1);
    }
    int base = 10;
    if (text.startsWith("0x") || text.startsWith("0X")) {
        base = 16;
        text.remove(0, 2);
    } else if (text.startsWith('$') || text.startsWith('x') || text.startsWith('X')) {
        base = 16;
        text.remove(0, 1);
    }
    if (text.isEmpty())
        return 0;
    const QByteArray digits = base == 16 ? QByteArray("0123456789abcdefABCDEF") : "0123456789";
    for (const char c : text) {
        if (!digits.contains(c))
            return 0;
    }

    if (base == 16) {
        while (text.startsWith('0'))
            text.remove(0, 1);
        if (text.size() > 8)
            return 0;
        const uint pattern = text.isEmpty() ? 0u : text.toUInt(nullptr, 16);
        return qint32(negative ? 0u - pattern : pattern);
    }
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok, 10);
    if (!ok)
        return 0; // beyond 64 bits
    const qlonglong signedValue = negative ? -value : value;
    if (signedValue < std::numeric_limits<qint32>::min() ||
        signedValue > std::numeric_limits<qint32>::max())
        return 0;
    return qint32(signedValue);
}

} // namespace orvane::test
