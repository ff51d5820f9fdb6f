#pragma once

#include <QByteArray>

namespace orvane::demo {

// The one login the demo service accepts.
inline constexpr char kLogin[] = "demo";
inline constexpr char kPassword[] = "demo";

// How many forecasts the demo login gets unless told otherwise.
inline constexpr int kDefaultForecasts = 50;

// The forecast reply for the demo login, in Windows-1251 bytes: the
// subscription text, the total profit and `count` forecasts (beyond fifty the
// same fifty again, with ids of their own), so benchmarks can ask for large
// replies. The same bytes on every call and every run. Empty when this Qt
// cannot encode Windows-1251 (it needs ICU), or for a count below 0.
QByteArray forecastReply(int count = kDefaultForecasts);

// What any other login and password get.
QByteArray refusalReply();

} // namespace orvane::demo
