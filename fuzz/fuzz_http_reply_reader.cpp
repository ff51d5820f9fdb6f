#include "service/http_reply_reader.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

using orvane::http::ReaderLimits;
using orvane::http::ReplyReader;

namespace {

// Feeds `stream` in pieces whose sizes come from `sizes` (0 means the rest),
// asks for the body as soon as the headers are done, and ends the stream.
void drive(ReplyReader &reader, QByteArrayView stream, QByteArrayView sizes, bool viaBodySpace)
{
    qsizetype at = 0;
    qsizetype next = 0;
    while (!reader.atEnd()) {
        if (reader.state() == ReplyReader::State::HeadersDone) {
            reader.readBody(ReplyReader::BodyMode::Keep);
            continue;
        }
        if (at == stream.size())
            break;
        qsizetype piece = stream.size() - at;
        if (next < sizes.size()) {
            const qsizetype wanted = quint8(sizes[next++]);
            if (wanted > 0 && wanted < piece)
                piece = wanted;
        }
        const std::span<char> space = viaBodySpace ? reader.bodySpace() : std::span<char>();
        if (!space.empty()) {
            const qsizetype n = std::min<qsizetype>(piece, qsizetype(space.size()));
            std::memcpy(space.data(), stream.data() + at, std::size_t(n));
            reader.commitBody(n);
            at += n;
            continue;
        }
        const qsizetype used = reader.feed(stream.sliced(at, piece));
        if (used == 0 && reader.state() != ReplyReader::State::HeadersDone)
            break;
        at += used;
    }
    if (!reader.atEnd() && reader.state() != ReplyReader::State::HeadersDone)
        reader.finish();
}

bool sameOutcome(const ReplyReader &a, const ReplyReader &b)
{
    return a.state() == b.state() && a.fault() == b.fault() && a.statusCode() == b.statusCode() &&
           a.statusLine() == b.statusLine() && a.headers() == b.headers() &&
           a.headersCut() == b.headersCut() && a.bodyCut() == b.bodyCut() &&
           a.bodySize() == b.bodySize() && a.body() == b.body();
}

} // namespace

// However the stream is split, and whether the body is written straight into
// the reader's space or fed, the outcome must be the same; the limits hold.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const bool tight = data[0] & 1;
    const qsizetype sizesLength = std::min<qsizetype>(data[1], qsizetype(size) - 2);
    const QByteArrayView sizes(reinterpret_cast<const char *>(data) + 2, sizesLength);
    const QByteArrayView stream(reinterpret_cast<const char *>(data) + 2 + sizesLength,
                                qsizetype(size) - 2 - sizesLength);
    const ReaderLimits limits = tight ? ReaderLimits{64, 256, 512} : ReaderLimits{};

    ReplyReader whole(limits);
    drive(whole, stream, {}, false);
    ReplyReader pieces(limits);
    drive(pieces, stream, sizes, data[0] & 2);
    if (!sameOutcome(whole, pieces))
        std::abort();
    if (whole.body().size() > limits.maxBody || whole.statusLine().size() > limits.maxLine)
        std::abort();
    return 0;
}
