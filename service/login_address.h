#pragma once

#include "service/credentials.h"

#include <QByteArray>
#include <QByteArrayView>

namespace orvane {

// The login request's URL. The login and password go in byte for byte, with
// no escaping: the service expects them raw.
QByteArray loginAddress(const Credentials &credentials, QByteArrayView serviceHost);

// The version file whose status tells whether this build is still current.
QByteArray versionFileAddress(QByteArrayView serviceHost);

} // namespace orvane
