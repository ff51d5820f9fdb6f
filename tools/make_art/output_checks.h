#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>

// Checks of the written files, read back from disk: a failure names the file
// and what is wrong with it.
QStringList checkJpeg(const QString &path, QSize size);
QStringList checkPng(const QString &path, QSize size);
// Reads the icon file with Qt's own reader as well, and compares every
// picture with the one it was made from.
QStringList checkIco(const QString &path, const QList<QImage> &pictures);

// The number of 8-bit colour components of a baseline or progressive JPEG,
// or 0 when the bytes hold no frame header.
int jpegComponents(const QByteArray &bytes);

struct ContrastFigure {
    QString what;
    double ratio;
    // What the picture must give; 0 where the figure is only reported.
    double minimum;
};

// Worst-case contrast at every pixel behind each label of the login page, for
// the text colour that the label is drawn in; picture is at scale output
// pixels per page pixel. The white texts and the version label need 7:1.
// "PASSWORD:" is black on the dark panel by design of the page, and the
// link's hover colour is a passing state: both are reported only.
QList<ContrastFigure> measureContrast(const QImage &picture, int scale);
