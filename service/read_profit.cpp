#include "service/read_profit.h"

#include <limits>

namespace orvane {

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

qint32 readProfit(QByteArrayView musum)
{
    const qsizetype n = musum.size();
    qsizetype i = 0;
    while (i < n && musum[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (musum[i] == '+' || musum[i] == '-')) {
        negative = musum[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < n && (musum[i] == '$' || musum[i] == 'x' || musum[i] == 'X')) {
        hex = true;
        i += 1;
    } else if (i + 1 < n && musum[i] == '0' && (musum[i + 1] == 'x' || musum[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == n)
        return 0; // no digits at all

    if (hex) {
        quint32 pattern = 0;
        int significant = 0;
        for (; i < n; ++i) {
            const int digit = hexDigit(musum[i]);
            if (digit < 0)
                return 0;
            if (significant == 0 && digit == 0)
                continue;
            if (++significant > 8)
                return 0;
            pattern = pattern << 4 | quint32(digit);
        }
        return qint32(negative ? 0u - pattern : pattern);
    }

    constexpr qint64 kLimit = qint64(std::numeric_limits<qint32>::max()) + 1;
    qint64 value = 0;
    for (; i < n; ++i) {
        const char c = musum[i];
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + (c - '0');
        if (value > kLimit)
            return 0;
    }
    if (negative)
        return qint32(-value);
    return value < kLimit ? qint32(value) : 0;
}

} // namespace orvane
