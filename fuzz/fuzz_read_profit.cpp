#include "service/read_profit.h"
#include "tests/support/reference_read_profit.h"

#include <cstdint>
#include <cstdlib>

// The profit reading must agree with a plain reading of the same rules.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray musum(reinterpret_cast<const char *>(data), qsizetype(size));
    if (orvane::readProfit(musum) != orvane::test::referenceReadProfit(musum))
        std::abort();
    return 0;
}
