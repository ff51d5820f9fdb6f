#pragma once

#include <QByteArray>
#include <QList>

namespace orvane::http {

// One header line of a reply, as received: name and value with surrounding
// blanks removed, continuation lines already joined.
struct HeaderField {
    QByteArray name;
    QByteArray value;

    friend bool operator==(const HeaderField &, const HeaderField &) = default;
};

using HeaderList = QList<HeaderField>;

} // namespace orvane::http
