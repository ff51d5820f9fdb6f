#pragma once

#include <QByteArray>

namespace orvane::demo {

// The one login the demo service accepts.
inline constexpr char kLogin[] = "demo";
inline constexpr char kPassword[] = "demo";

// The forecast reply for the demo login, in Windows-1251 bytes: the
// subscription text, the total profit and about fifty forecasts. The same
// bytes on every call and every run. Empty when this Qt cannot encode
// Windows-1251 (it needs ICU).
QByteArray forecastReply();

// What any other login and password get.
QByteArray refusalReply();

} // namespace orvane::demo
