#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <optional>

namespace orvane {

// One "key=value" line of a skin's settings text, both trimmed.
struct SkinSetting {
    QByteArray key;
    QByteArray value;
    int line = 0; // 1-based, for error texts
};

struct SkinSection {
    QByteArray name;
    QList<SkinSetting> settings;

    // The value of the first setting named `key`.
    std::optional<QByteArray> value(QByteArrayView key) const;
};

struct SkinSettings {
    QList<SkinSection> sections;

    const SkinSection *section(QByteArrayView name) const;
};

struct SkinSettingsRead {
    std::optional<SkinSettings> settings;
    QString error; // when settings is empty: what is wrong, and on which line
};

// The parts of `value` between the separators (the views point into it).
QList<QByteArrayView> splitValue(QByteArrayView value, char separator);

// Reads an INI-style text: "[SECTION]" headers, "key=value" lines, blank lines
// and comments that start with ";" or "#". Keys and section names compare
// exactly. A line that is none of these, a setting before the first section,
// a key given twice in a section, or a section given twice is an error.
SkinSettingsRead parseSkinSettings(QByteArrayView text);

} // namespace orvane
