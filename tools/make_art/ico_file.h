#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

// A Windows icon file holding each picture as a 32-bit bitmap with its
// transparency mask; pictures of 128 pixels and more go in as PNG, which
// keeps the file small and which every Windows since Vista reads.
QByteArray icoFile(const QList<QImage> &pictures);
