#include "service/forecast_reply.h"
#include "tests/support/reference_reply_reader.h"

#include <cstdint>
#include <cstdlib>

// The fast reader must agree with the obvious one on every input.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray reply(reinterpret_cast<const char *>(data), qsizetype(size));
    const orvane::ForecastReply fast = orvane::readForecastReply(reply);
    const orvane::ForecastReply slow = orvane::test::referenceReadForecastReply(reply);
    if (fast.refused != slow.refused || fast.title != slow.title || fast.profit != slow.profit ||
        fast.hasForecasts != slow.hasForecasts || fast.matches != slow.matches)
        std::abort();
    return 0;
}
