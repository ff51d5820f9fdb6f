#include "service/saved_login.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

namespace orvane {
namespace {

QString filePath(const QString &dir)
{
    return QDir::cleanPath(QDir(dir).absoluteFilePath(kSavedLoginFileName.toString()));
}

QString fileError(QStringView what, const QString &path, const QString &cause)
{
    return QStringLiteral("%1 \"%2\". %3").arg(what, QDir::toNativeSeparators(path), cause);
}

QString systemErrorText(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// QSaveFile turns these two down itself, in words of its own; what a plain
// create would have met says more to the user.
QString createFailureCause(const QFileInfo &target, const QSaveFile &file)
{
    if (target.isDir())
        return systemErrorText(EISDIR);
    if (target.exists() && !target.isWritable())
        return systemErrorText(EACCES);
    return file.errorString();
}

std::optional<QString> openForReading(QFile &file)
{
    if (file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.errorString();
}

std::optional<QString> openForWriting(QSaveFile &file)
{
    // Unbuffered: a buffered write that fails only when commit() flushes it still
    // gets committed, short, by Qt 6.4.
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return std::nullopt;
    return createFailureCause(QFileInfo(file.fileName()), file);
}

bool restrictToOwner(QSaveFile &file)
{
    return file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// Only the first `count` lines are wanted; the rest of the text is not split.
QList<QByteArray> firstLines(QByteArrayView text, qsizetype count)
{
    if (const qsizetype zero = text.indexOf('\0'); zero >= 0)
        text = text.first(zero);
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < text.size() && lines.size() < count) {
        qsizetype end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        lines.append(text.sliced(start, end - start).toByteArray());
        if (end < text.size() && text[end] == '\r')
            ++end;
        if (end < text.size() && text[end] == '\n')
            ++end;
        start = end;
    }
    return lines;
}

} // namespace

const SavedLoginFileSteps &SavedLoginFileSteps::system()
{
    static const SavedLoginFileSteps steps{&orvane::openForReading, &orvane::openForWriting,
                                           &orvane::restrictToOwner};
    return steps;
}

SavedLoginRead readSavedLogin(const QString &dir, const SavedLoginFileSteps &steps)
{
    SavedLoginRead result;
    const QString path = filePath(dir);
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return result;
    result.found = true;

    QFile file(path);
    if (const std::optional<QString> refused = steps.openForReading(file)) {
        result.error = fileError(u"Cannot open file", path, *refused);
        return result;
    }
    const QList<QByteArray> lines = firstLines(file.readAll(), 2);
    if (!lines.isEmpty())
        result.login = lines.at(0);
    if (lines.size() > 1)
        result.password = lines.at(1);
    else
        result.error = QStringLiteral("List index out of bounds (%1)").arg(lines.size());
    return result;
}

std::optional<QString> SaveLogin(const Credentials &credentials, const QString &dir,
                                 const SavedLoginFileSteps &steps)
{
    const QString path = filePath(dir);
    QSaveFile file(path);
    if (const std::optional<QString> refused = steps.openForWriting(file))
        return fileError(u"Cannot create file", path, *refused);
    // Before any byte goes in: the password stands in the file as typed.
    if (!steps.restrictToOwner(file))
        return fileError(u"Cannot create file", path, file.errorString());

    QByteArray content;
    content.reserve(credentials.login.size() + credentials.password.size() + 4);
    content.append(credentials.login).append("\r\n").append(credentials.password).append("\r\n");
    // A short write is not an error to Qt; the temporary file goes with `file`.
    if (file.write(content) != content.size())
        return QStringLiteral("Stream write error");
    if (file.commit())
        return std::nullopt;
    if (file.error() == QFileDevice::RenameError)
        return fileError(u"Cannot create file", path, file.errorString());
    return QStringLiteral("Stream write error");
}

void deleteSavedLogin(const QString &dir)
{
    const QString path = filePath(dir);
    if (!QFileInfo(path).isDir())
        QFile::remove(path);
}

QString errorBoxText(const QString &error)
{
    if (!error.isEmpty() && error.back().unicode() > u'.')
        return error + u'.';
    return error;
}

} // namespace orvane
