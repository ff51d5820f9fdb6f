#include "service/http_location.h"
#include "service/http_request.h"
#include "service/http_url.h"

#include <QByteArrayList>
#include <cstdint>
#include <cstdlib>

using namespace orvane::http;

namespace {

// Every line of a request must be one we meant to write: a hostile URL or
// Location can never add a header or end the request early.
bool wellFormed(const QByteArray &request)
{
    if (!request.endsWith("\r\n\r\n"))
        return false;
    const QList<QByteArray> lines = request.chopped(4).split('\n');
    static const QByteArrayList names = {
        "Content-Type: ", "Host: ", "Accept: ", "User-Agent: ", "Authorization: ", "Cookie: "};
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray line = i + 1 < lines.size() ? lines[i].chopped(1) : lines[i];
        if (i + 1 < lines.size() && !lines[i].endsWith('\r'))
            return false;
        for (const char c : line) {
            if (quint8(c) < 0x20 || c == 0x7f)
                return false;
        }
        bool known = i == 0 ? line.startsWith("GET /") && line.endsWith(" HTTP/1.1") : false;
        for (const QByteArray &name : names)
            known = known || (i > 0 && line.startsWith(name));
        if (!known)
            return false;
    }
    return true;
}

} // namespace

// Input: the previous URL, a NUL byte, the Location.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype cut = input.indexOf('\0');
    const QByteArrayView previous =
        cut < 0 ? QByteArrayView("http://h/login/orvane.php?a=1") : input.first(cut);
    const QByteArrayView location = cut < 0 ? input : input.sliced(cut + 1);

    const QByteArray next = resolveLocation(previous, location);
    const Url url = splitUrl(next, 80);
    if (!url.ok())
        return 0;
    if (!url.target.startsWith('/'))
        std::abort();
    if (!wellFormed(buildGetRequest(url, size > 0 && (data[0] & 1), "a=b")))
        std::abort();
    return 0;
}
