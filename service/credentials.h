#pragma once

#include <QByteArray>

namespace orvane {

// The login and password of the running program, as 8-bit Windows-1251 text.
struct Credentials {
    QByteArray login;
    QByteArray password;

    friend bool operator==(const Credentials &, const Credentials &) = default;
};

} // namespace orvane
