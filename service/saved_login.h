#pragma once

#include "service/credentials.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <functional>
#include <optional>

class QFile;
class QSaveFile;

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

// The three steps of the file's life that the system can refuse. Tests replace
// them to reach refusals that a privileged user never meets (root reads and
// writes whatever the permissions say).
struct SavedLoginFileSteps {
    // Each opens `file`; on refusal, the system's description of the cause.
    std::function<std::optional<QString>(QFile &file)> openForReading;
    std::function<std::optional<QString>(QSaveFile &file)> openForWriting;
    // Makes the new file readable and writable by its owner alone.
    std::function<bool(QSaveFile &file)> restrictToOwner;

    static const SavedLoginFileSteps &system();
};

// Reads the whole file. Lines end at CR LF, a lone CR or a lone LF, a zero byte
// ends the text, and a last line without a break counts; lines after the second
// are ignored. A file that cannot be opened, or has fewer than two lines, comes
// back with the error text and whatever lines it had.
[[nodiscard]] SavedLoginRead
readSavedLogin(const QString &dir = QDir::currentPath(),
               const SavedLoginFileSteps &steps = SavedLoginFileSteps::system());

// Writes login CR LF password CR LF, byte for byte, readable and writable by the
// owner alone. The new content goes to a temporary file beside the old one and
// replaces it only once written whole, so a failure leaves the old file as it
// was; so does a file whose permissions cannot be narrowed, since it would
// show the password to others. Returns the error text on failure.
[[nodiscard]] std::optional<QString>
SaveLogin(const Credentials &credentials, const QString &dir = QDir::currentPath(),
          const SavedLoginFileSteps &steps = SavedLoginFileSteps::system());

// Removes the file if there is one; a folder of that name stays. Never fails
// visibly.
void deleteSavedLogin(const QString &dir = QDir::currentPath());

// The error box's text: a full stop is appended when the last character sorts
// after ".".
QString errorBoxText(const QString &error);

} // namespace orvane
