#pragma once

#include "service/http_cancel.h"

#include <QByteArray>
#include <QByteArrayView>
#include <chrono>

namespace orvane {

enum class ProbeResult {
    Current,     // the last reply of the chain had status 200 or 302
    ServerError, // the last reply's status was 500 to 599: the server could not answer
    Outdated,    // an HTTP reply came, with any other status
    Unreachable, // no HTTP reply at all: no such host, refused, timed out, an unusable address
    Cancelled,   // its CancelToken stopped it first
};

inline constexpr std::chrono::milliseconds kProbeTimeout{30'000};
inline constexpr int kProbeRedirectLimit = 10;

// The address the probe requests: `url` unchanged when an ASCII-lower-cased
// copy of it contains "http://" anywhere, otherwise "http://" + `url`.
[[nodiscard]] QByteArray probeAddress(QByteArrayView url);

// Asks for `url` with a GET and looks only at the status of the last reply,
// redirects followed (at most kProbeRedirectLimit of them). The body is not
// read, no cache answers, the system's proxy configuration applies, the user
// agent is "InetURL:/1.0". A 3xx that is not followed (no usable Location,
// a less safe scheme, the limit reached) is the last reply.
//
// Blocks for at most `timeout`, and ends soon after `cancel`, when given, is
// set from any thread. Needs no event loop of the caller's: it runs its own,
// so any thread with a QCoreApplication alive may call it. Every answer but
// Current is logged to lcProbe.
[[nodiscard]] ProbeResult ProbeUrl(QByteArrayView url,
                                   std::chrono::milliseconds timeout = kProbeTimeout,
                                   const http::CancelToken *cancel = nullptr);

} // namespace orvane
