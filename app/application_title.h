#pragma once

#include <QString>

namespace orvane {

// The title of message boxes: the program's file name without its folder, cut
// at its first ".", every character after the first in lower case.
QString applicationTitle(const QString &programPath);

} // namespace orvane
