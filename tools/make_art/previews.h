#pragma once

#include <QImage>
#include <QList>
#include <QString>

// Pictures for checking the output by eye; they are not committed.

// The page as the window shows it: the picture cut to 798 x 600 with the
// login controls' places and sample texts drawn on it.
QImage loginPagePreview(const QImage &picture, int scale, const QString &linkText);

// Each icon at its own size and enlarged without smoothing, on light, dark
// and chequered grounds.
QImage iconContactSheet(const QList<QImage> &icons);
