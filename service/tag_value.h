#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace orvane {

// The text between the first "<name>" and the next "</name>" after it, or
// empty when either is missing. Plain substring search, case-sensitive: the
// service's replies are tag-marked text, not XML.
QByteArrayView tagValueView(QByteArrayView text, QByteArrayView name);

inline QByteArray TagValue(QByteArrayView text, QByteArrayView name)
{
    return tagValueView(text, name).toByteArray();
}

} // namespace orvane
