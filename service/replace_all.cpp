#include "service/replace_all.h"

#include <optional>
#include <vector>

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

} // namespace orvane
