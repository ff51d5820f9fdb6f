#pragma once

#include <QLoggingCategory>

// Why a network call failed, for whoever runs the program from a terminal.
// Never the password: it stands in the login URL's query, so messages name
// host, port and path at most.
namespace orvane::http {
Q_DECLARE_LOGGING_CATEGORY(lcHttp)
} // namespace orvane::http

namespace orvane {
Q_DECLARE_LOGGING_CATEGORY(lcProbe)
} // namespace orvane
