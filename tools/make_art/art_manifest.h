#pragma once

#include <QString>
#include <QStringList>

// The text of resources/ART-MANIFEST.md: what each output is, what made it
// and what it is made from, under which licence.
QString artManifest(const QString &emojiVersion, const QStringList &emojiFiles,
                    const QStringList &iconFiles);
