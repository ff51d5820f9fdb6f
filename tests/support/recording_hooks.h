#pragma once

#include "app/desktop_hooks.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace orvane::test {

// Hooks that show no dialog and open no browser: each message, error and
// opened address is appended to the caller's lists, which must outlive the
// window; the saved-login file lives in `folder`.
inline PlatformHooks recordingHooks(QStringList &messages, QStringList &errors, QList<QUrl> &opened,
                                    const QString &folder)
{
    PlatformHooks hooks;
    hooks.showMessage = [&messages](const QString &text) {
        messages.append(text);
    };
    hooks.showError = [&errors](const QString &text) {
        errors.append(text);
    };
    hooks.openUrl = [&opened](const QUrl &url) {
        opened.append(url);
    };
    hooks.savedLoginFolder = [folder] {
        return folder;
    };
    return hooks;
}

} // namespace orvane::test
