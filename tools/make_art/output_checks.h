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
QStringList checkIco(const QString &path, const QList<int> &sizes);

// The number of 8-bit colour components of a baseline or progressive JPEG,
// or 0 when the bytes hold no frame header.
int jpegComponents(const QByteArray &bytes);

struct ContrastFigure {
    QString what;
    double ratio;
};

// Worst-case contrast at every pixel behind each label of the login page, for
// the text colour that the label is drawn in; picture is at scale output
// pixels per page pixel.
QList<ContrastFigure> measureContrast(const QImage &picture, int scale);
