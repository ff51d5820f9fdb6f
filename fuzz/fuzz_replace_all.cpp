#include "service/replace_all.h"
#include "tests/support/reference_replace_all.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr qsizetype kMaxReplacement = 16;
constexpr qsizetype kMaxText = 128; // the reference's cost grows with the square of it

} // namespace

// Input: one byte whose low three bits give the pattern's length and whose top
// bit folds every other byte onto "a", "b" and "c" (so that occurrences meet
// often); one byte giving the replacement's length modulo 17; the pattern,
// the replacement, then the text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    if (input.size() < 2)
        return 0;
    const auto control = quint8(input[0]);
    const qsizetype patternSize = control & 7;
    const qsizetype replacementSize = quint8(input[1]) % (kMaxReplacement + 1);
    input.remove(0, 2);
    if (control & 0x80) {
        for (char &c : input)
            c = char('a' + quint8(c) % 3);
    }
    const QByteArray pattern = input.left(patternSize);
    const QByteArray replacement = input.mid(pattern.size(), replacementSize);
    const QByteArray text = input.mid(pattern.size() + replacement.size(), kMaxText);

    if (orvane::ReplaceAll(text, pattern, replacement) !=
        orvane::test::referenceReplaceAll(text, pattern, replacement))
        std::abort();
    return 0;
}
