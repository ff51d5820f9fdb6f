#pragma once

#include "service/version_probe.h"

#include <QString>
#include <QUrl>
#include <chrono>
#include <functional>

namespace orvane {

// What the window asks of the desktop. Tests replace these so that no dialog
// shows and no browser opens.
struct PlatformHooks {
    std::function<void(const QString &text)> showMessage; // modal, no icon, one OK button
    std::function<void(const QString &text)> showError;   // modal, error icon, one OK button
    std::function<void(const QUrl &url)> openUrl;
    std::function<QString()> savedLoginFolder; // asked at each access to the saved-login file
    std::chrono::milliseconds probeTimeout = kProbeTimeout;

    // Message boxes titled with the application name, centred on the screen;
    // the default browser; the current working directory.
    static PlatformHooks desktop();
};

} // namespace orvane
