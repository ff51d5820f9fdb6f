#pragma once

#include "service/http_url.h"

#include <QByteArray>
#include <QByteArrayView>

namespace orvane::http {

inline constexpr char kUserAgent[] =
    "Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/37.0.2062.102 Safari/537.36";

// The whole GET request for `url`, ready for one write. `basicAuth` adds the
// empty-credentials Authorization header; an empty `cookie` sends no Cookie
// header. Lines are never folded.
[[nodiscard]] QByteArray buildGetRequest(const Url &url, bool basicAuth, QByteArrayView cookie);

} // namespace orvane::http
