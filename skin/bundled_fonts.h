#pragma once

#include <QString>

namespace orvane {

// Registers the bundled Liberation Sans faces with the application's font
// database, so that text is laid out the same on every machine. Call after the
// QGuiApplication exists and before any font is made; later calls only report
// the first one's outcome. False when a face could not be registered.
[[nodiscard]] bool installBundledFonts();

// The family that the window's font names ("Arial", "MS Sans Serif") resolve to.
QString bundledFontFamily();

} // namespace orvane
