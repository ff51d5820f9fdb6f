#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace orvane::http {

// The URL that a redirect's Location leads to from the URL just requested.
// An absolute Location (a scheme followed by "://") is used unchanged; one
// that begins with "/" replaces the target on the same scheme and authority;
// anything else is taken relative to the directory of the previous target,
// with "." and ".." resolved in its path. A ".." at the root is dropped, so
// a target never climbs above "/". Backslashes count as forward slashes.
[[nodiscard]] QByteArray resolveLocation(QByteArrayView previousUrl, QByteArrayView location);

// "/a/./b/../c" -> "/a/c"; `path` begins with "/".
[[nodiscard]] QByteArray removeDotSegments(QByteArrayView path);

} // namespace orvane::http
