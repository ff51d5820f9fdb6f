#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace orvane {

// Whether the platform can convert Windows-1251 at all; without it every
// conversion below would turn letters into U+FFFD and "?".
[[nodiscard]] bool cp1251Available();

// All 8-bit text of the program is Windows-1251; these are the only places
// where it turns into Unicode and back.
QString fromCp1251(QByteArrayView text);

// Characters that Windows-1251 cannot hold become "?", as the platform's own
// conversion does.
QByteArray toCp1251(QStringView text);

} // namespace orvane
