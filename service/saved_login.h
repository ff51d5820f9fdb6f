#pragma once

#include "credentials.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <optional>

namespace orvane {

inline constexpr QStringView kSavedLoginFileName = u"cap.log";

// What reading the saved-login file gives the window, in the order it applies it:
// when `found`, tick the remember box; set the login and then the password when
// present; then, if there is an `error`, show it and stop.
struct SavedLoginRead {
    bool found = false;                 // a file (not a folder) of that name exists
    std::optional<QByteArray> login;    // line 1
    std::optional<QByteArray> password; // line 2
    std::optional<QString> error;       // text for the error box
};

// The file "cap.log" in `dir`; the full path as error texts show it.
QString savedLoginPath(const QString &dir);

// Reads the whole file. Lines end at CR LF, a lone CR or a lone LF, a zero byte
// ends the text, and a last line without a break counts; lines after the second
// are ignored. A file that cannot be opened, or has fewer than two lines, comes
// back with the error text and whatever lines it had.
SavedLoginRead readSavedLogin(const QString &dir = QDir::currentPath());

// Writes login CR LF password CR LF, byte for byte, readable and writable by the
// owner alone. The new content goes to a temporary file beside the old one and
// replaces it only once written whole, so a failure leaves the old file as it
// was. Returns the error text on failure.
std::optional<QString> SaveLogin(const Credentials &credentials,
                                 const QString &dir = QDir::currentPath());

// Removes the file if there is one; a folder of that name stays. Never fails
// visibly.
void deleteSavedLogin(const QString &dir = QDir::currentPath());

// The error box's text: a full stop is appended when the last character sorts
// after ".".
QString errorBoxText(const QString &error);

} // namespace orvane
