#include "forecast_rows.h"

#include "league_flags.h"
#include "text_codec.h"

#include <limits>
#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

namespace orvane {

namespace {

QByteArray replaceLeftToRight(QByteArrayView text, QByteArrayView pattern,
                              QByteArrayView replacement)
{
    QByteArray result;
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(pattern); at >= 0; at = text.indexOf(pattern, from)) {
        result.append(text.sliced(from, at - from)).append(replacement);
        from = at + pattern.size();
    }
    return result.append(text.sliced(from));
}

// The search-again-from-the-start rewriting, done in one pass: the bytes
// already written hold no occurrence except possibly at their end, so after a
// replacement only the replacement itself (and what follows) needs feeding,
// and a match found at the end of the output is always the leftmost one.
// Empty when the step budget runs out.
std::optional<QByteArray> rewrite(QByteArrayView text, QByteArrayView pattern,
                                  QByteArrayView replacement, qsizetype budget)
{
    const qsizetype m = pattern.size();
    std::vector<qsizetype> fallback(size_t(m), 0); // matcher automaton of the pattern
    for (qsizetype i = 1, k = 0; i < m; ++i) {
        while (k > 0 && pattern[i] != pattern[k])
            k = fallback[size_t(k - 1)];
        if (pattern[i] == pattern[k])
            ++k;
        fallback[size_t(i)] = k;
    }

    QByteArray out;
    out.reserve(text.size() + qMax<qsizetype>(0, replacement.size() - m) * 8);
    std::vector<qsizetype> states; // matched length after each output byte
    states.reserve(size_t(text.size()));
    std::vector<QByteArrayView> input{text}; // the top is read first
    qsizetype state = 0;
    qsizetype steps = 0;
    while (!input.empty()) {
        QByteArrayView &source = input.back();
        if (source.isEmpty()) {
            input.pop_back();
            continue;
        }
        const char c = source.front();
        source = source.sliced(1);
        while (state > 0 && pattern[state] != c)
            state = fallback[size_t(state - 1)];
        if (pattern[state] == c)
            ++state;
        out.append(c);
        states.push_back(state);
        if (state == m) {
            if (++steps > budget)
                return std::nullopt;
            out.chop(m);
            states.resize(states.size() - size_t(m));
            state = states.empty() ? 0 : states.back();
            if (!replacement.isEmpty())
                input.push_back(replacement);
        }
    }
    return out;
}

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

QByteArray ReplaceAll(QByteArrayView text, QByteArrayView pattern, QByteArrayView replacement)
{
    if (text.isEmpty() || pattern.isEmpty() || text.indexOf(pattern) < 0)
        return text.toByteArray();
    if (replacement.indexOf(pattern) < 0) {
        const qsizetype budget = 16 * (text.size() + 64);
        if (std::optional<QByteArray> rewritten = rewrite(text, pattern, replacement, budget))
            return *std::move(rewritten);
    }
    return replaceLeftToRight(text, pattern, replacement);
}

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

void AddForecastRow(ForecastGrid &NG, const MatchRecord &record)
{
    NG.AddRow();
    const int r = NG.RowCount() - 1;

    NG.SetCellText(Id, r, fromCp1251(record.id()));
    NG.SetCellImageIndex(Flag, r, LeagueFlagIndex(record.liga()));
    NG.SetCellHint(Flag, r, fromCp1251(record.liga()));
    NG.SetCellText(Time, r, fromCp1251(record.time()));
    NG.SetCellText(Home, r, fromCp1251(record.home()));
    NG.SetCellText(Away, r, fromCp1251(record.away()));
    NG.SetCellText(Bet, r, fromCp1251(record.bet()));
    NG.SetCellText(Odd, r, fromCp1251(ReplaceAll(record.kf(), ".", ",")));
    NG.SetCellText(Orvane, r, fromCp1251(record.orvane()));
    NG.SetCellText(Score, r, fromCp1251(record.score()));

    const QByteArrayView itog = record.itog();
    QColor outcome;
    if (itog == "+")
        outcome = QColor(0, 255, 0);
    else if (itog == "-")
        outcome = QColor(255, 0, 0);
    else if (itog == "=")
        outcome = QColor(0, 0, 255);
    if (outcome.isValid()) {
        NG.SetCellColor(Rez, r, outcome);
        NG.SetCellColor(Score, r, QColor(255, 128, 192));
        NG.SetCellHint(Score, r, u"Завершен"_s);
    }

    const qint32 p = readProfit(record.musum());
    NG.SetCellText(Rez, r, fromCp1251(itog));
    if (p > 0) {
        NG.SetCellText(Profit, r, QString::number(p));
        NG.SetCellColor(Profit, r, QColor(0, 64, 0));
    } else if (p < 0) {
        NG.SetCellText(Profit, r, QString::number(p));
        NG.SetCellColor(Profit, r, QColor(128, 0, 0));
    }
}

} // namespace orvane
