#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

// A Windows icon file holding each picture as a 32-bit bitmap with its
// transparency mask; pictures of 256 pixels go in as PNG, as Windows expects.
QByteArray icoFile(const QList<QImage> &pictures);
