#include "service/http_log.h"

namespace orvane::http {
Q_LOGGING_CATEGORY(lcHttp, "orvane.http")
} // namespace orvane::http

namespace orvane {
Q_LOGGING_CATEGORY(lcProbe, "orvane.probe")
} // namespace orvane
