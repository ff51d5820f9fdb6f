#pragma once

#include <QByteArray>
#include <QDir>
#include <QStringList>

namespace orvane::shots {

// Renders the window's two pages, with the stored skin and plainly, into
// `folder`: login.png, forecast.png, login-plain.png and forecast-plain.png,
// each name with "@<ratio>x" before ".png" when the device pixel ratio is not 1.
// The forecast page is the one a LOGIN as the demo user leaves, against the
// demo service at `serviceHost`. Needs the QApplication; answers what went
// wrong, nothing when every picture was written.
QStringList saveWindowShots(const QByteArray &serviceHost, const QDir &folder);

} // namespace orvane::shots
