#pragma once

#include <QDir>
#include <QPainter>
#include <QString>
#include <QStringList>
#include <QSvgRenderer>
#include <map>
#include <memory>

// The SVGs of the emoji package that the pictures use, loaded once. The
// package keeps each style in a folder of its own ("modern" is the colour set).
class EmojiLibrary {
public:
    explicit EmojiLibrary(const QDir &package) : m_package(package) {}

    // Loads every named file; on failure names the file in error().
    bool load(const QStringList &files);
    QString error() const { return m_error; }
    QString packageVersion() const;
    QStringList files() const;

    // Draws the emoji into rect, optionally mirrored left to right.
    void draw(QPainter &painter, const QString &file, const QRectF &rect,
              bool mirrored = false) const;

private:
    QDir m_package;
    std::map<QString, std::unique_ptr<QSvgRenderer>> m_renderers;
    QString m_error;
};
