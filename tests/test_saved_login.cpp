#include "service/saved_login.h"

#include <QFile>
#include <QLocalServer>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace orvane;
using namespace Qt::StringLiterals;

namespace {

QString pathIn(const QTemporaryDir &dir)
{
    return QDir::toNativeSeparators(QDir(dir.path()).filePath(QStringLiteral("cap.log")));
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// The error text starts with its fixed words and the quoted full path, and goes
// on with the system's description of the cause.
void verifyFileError(const std::optional<QString> &error, QStringView what, const QString &path)
{
    QVERIFY(error.has_value());
    const QString prefix = what.toString() + QStringLiteral(" \"") + path + QStringLiteral("\". ");
    QVERIFY2(error->startsWith(prefix) && error->size() > prefix.size(), qPrintable(*error));
}

} // namespace

class TestSavedLogin : public QObject {
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void roundTrip_data();
    void roundTrip();
    void deleteFile();
    void folderNamedLikeTheFile();
    void cannotOpen();
    void refusedByTheSystem_data();
    void refusedByTheSystem();
    void failedWriteKeepsOldFile();
    void workingDirectoryAtCallTime();
    void errorBoxText_data();
    void errorBoxText();
};

void TestSavedLogin::read_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArrayList>("lines"); // what reaches the edit boxes
    QTest::addColumn<QString>("error");

    const auto row = [](const char *name, QByteArrayView content, QByteArrayList lines,
                        const QString &error = {}) {
        QTest::newRow(name) << content.toByteArray() << lines << error;
    };
    const QString one = QStringLiteral("List index out of bounds (1)");
    row("CR LF", "user\r\npass\r\n", {"user", "pass"});
    row("no last break", "user\r\npass", {"user", "pass"});
    row("empty lines", "\r\n\r\n", {"", ""});
    row("LF only", "user\npass\n", {"user", "pass"});
    row("CR only", "user\rpass\r", {"user", "pass"});
    row("LF then CR: two breaks", "user\n\rpass", {"user", ""});
    row("more lines", "a\r\nb\r\nc\r\n", {"a", "b"});
    row("8-bit", "\xc8\xe2\xe0\xed\r\n\xef \xe0\t\r\n", {"\xc8\xe2\xe0\xed", "\xef \xe0\t"});
    row("zero byte in line 2", QByteArrayView("user\r\np\0ss\r\n", 12), {"user", "p"});
    row("one line", "user\r\n", {"user"}, one);
    row("one line, no break", "user", {"user"}, one);
    row("zero byte ends the text", QByteArrayView("user\0\r\npass\r\n", 13), {"user"}, one);
    row("empty", "", {}, QStringLiteral("List index out of bounds (0)"));
}

void TestSavedLogin::read()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArrayList, lines);
    QFETCH(QString, error);

    QTemporaryDir dir;
    writeFile(pathIn(dir), content);
    const SavedLoginRead result = readSavedLogin(dir.path());
    QVERIFY(result.found);
    QCOMPARE(result.login, lines.size() > 0 ? std::optional(lines.at(0)) : std::nullopt);
    QCOMPARE(result.password, lines.size() > 1 ? std::optional(lines.at(1)) : std::nullopt);
    QCOMPARE(result.error.value_or(QString()), error);
}

void TestSavedLogin::roundTrip_data()
{
    QTest::addColumn<QByteArray>("old"); // what the file held before; null: no file
    QTest::addColumn<QByteArray>("login");
    QTest::addColumn<QByteArray>("password");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QByteArrayList>("readBack");

    QTest::newRow("as typed") << QByteArray() << QByteArray(" \xc8\xe2 ") << QByteArray("p\x01")
                              << QByteArray(" \xc8\xe2 \r\np\x01\r\n")
                              << QByteArrayList{" \xc8\xe2 ", "p\x01"};
    QTest::newRow("empty") << QByteArray() << QByteArray("") << QByteArray("")
                           << QByteArray("\r\n\r\n") << QByteArrayList{"", ""};
    QTest::newRow("line break inside: reads back split")
        << QByteArray() << QByteArray("a\nb") << QByteArray("p") << QByteArray("a\nb\r\np\r\n")
        << QByteArrayList{"a", "b"};
    QTest::newRow("longer old file replaced")
        << QByteArray("old login is long\r\nold password\r\nthird\r\n") << QByteArray("u")
        << QByteArray("p") << QByteArray("u\r\np\r\n") << QByteArrayList{"u", "p"};
}

void TestSavedLogin::roundTrip()
{
    QFETCH(QByteArray, old);
    QFETCH(QByteArray, login);
    QFETCH(QByteArray, password);
    QFETCH(QByteArray, written);
    QFETCH(QByteArrayList, readBack);

    QTemporaryDir dir;
    const QString path = pathIn(dir);
    if (!old.isNull()) {
        writeFile(path, old);
        QVERIFY(QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ReadOther));
    }
    QCOMPARE(SaveLogin({login, password}, dir.path()), std::nullopt);
    QCOMPARE(readFile(path), written);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("cap.log")});
#ifdef Q_OS_UNIX
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                            QFileDevice::WriteOther | QFileDevice::ExeOther;
    const QFileDevice::Permissions mode = QFile::permissions(path);
    QVERIFY(mode.testFlags(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QVERIFY(!mode.testAnyFlags(others | QFileDevice::ExeOwner));
#endif

    const SavedLoginRead result = readSavedLogin(dir.path());
    QVERIFY(result.found);
    QCOMPARE(result.login, readBack.at(0));
    QCOMPARE(result.password, readBack.at(1));
    QCOMPARE(result.error, std::nullopt);
}

void TestSavedLogin::deleteFile()
{
    QTemporaryDir dir;
    writeFile(pathIn(dir), "u\r\np\r\n");
    deleteSavedLogin(dir.path());
    QVERIFY(!QFileInfo::exists(pathIn(dir)));

    const SavedLoginRead result = readSavedLogin(dir.path());
    QVERIFY(!result.found);
    QCOMPARE(result.login, std::nullopt);
    QCOMPARE(result.error, std::nullopt);
    deleteSavedLogin(dir.path()); // nothing to delete, nothing reported
}

void TestSavedLogin::folderNamedLikeTheFile()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("cap.log")));

    const SavedLoginRead result = readSavedLogin(dir.path());
    QVERIFY(!result.found);
    QCOMPARE(result.error, std::nullopt);

    deleteSavedLogin(dir.path());
    QVERIFY(QFileInfo(pathIn(dir)).isDir());

    verifyFileError(SaveLogin({"u", "p"}, dir.path()), u"Cannot create file", pathIn(dir));
    QVERIFY(QFileInfo(pathIn(dir)).isDir());
}

void TestSavedLogin::cannotOpen()
{
    // A socket in the file's place cannot be opened by anyone, root included.
    QTemporaryDir dir;
    const QString path = pathIn(dir);
    QLocalServer server;
    QVERIFY(server.listen(path));

    const SavedLoginRead result = readSavedLogin(dir.path());
    QVERIFY(result.found); // the remember box is ticked before the error shows
    QCOMPARE(result.login, std::nullopt);
    QCOMPARE(result.password, std::nullopt);
    verifyFileError(result.error, u"Cannot open file", path);
}

void TestSavedLogin::refusedByTheSystem_data()
{
    QTest::addColumn<int>("step"); // 0 open for reading, 1 open for writing, 2 narrow permissions
    QTest::addColumn<QByteArray>("old"); // null: no file before
    QTest::addColumn<QString>("error");

    const QString denied = QString::fromLocal8Bit(std::strerror(EACCES));
    QTest::newRow("no read permission")
        << 0 << QByteArray("u\r\np\r\n") << u"Cannot open file \"%1\". "_s + denied;
    QTest::newRow("read-only folder, no file")
        << 1 << QByteArray() << u"Cannot create file \"%1\". "_s + denied;
    QTest::newRow("read-only file")
        << 1 << QByteArray("a\r\nb\r\n") << u"Cannot create file \"%1\". "_s + denied;
    QTest::newRow("permissions cannot be narrowed")
        << 2 << QByteArray("a\r\nb\r\n") << u"Cannot create file \"%1\". "_s;
}

void TestSavedLogin::refusedByTheSystem()
{
    QFETCH(int, step);
    QFETCH(QByteArray, old);
    QFETCH(QString, error);

    QTemporaryDir dir;
    const QString path = pathIn(dir);
    if (!old.isNull())
        writeFile(path, old);
    const QString denied = QString::fromLocal8Bit(std::strerror(EACCES));
    SavedLoginFileSteps steps = SavedLoginFileSteps::system();
    if (step == 0)
        steps.openForReading = [&](QFile &) {
            return std::optional(denied);
        };
    if (step == 1)
        steps.openForWriting = [&](QSaveFile &) {
            return std::optional(denied);
        };
    if (step == 2)
        steps.restrictToOwner = [](QSaveFile &) {
            return false;
        };

    if (step == 0) {
        const SavedLoginRead result = readSavedLogin(dir.path(), steps);
        QVERIFY(result.found);
        QCOMPARE(result.login, std::nullopt);
        QCOMPARE(result.error, error.arg(path));
        return;
    }
    const std::optional<QString> saved = SaveLogin({"new", "secret"}, dir.path(), steps);
    QVERIFY(saved.has_value());
    QVERIFY2(saved->startsWith(error.arg(path)), qPrintable(*saved));
    // Nothing of the new login reached the disk, and the old file is whole.
    QCOMPARE(QFileInfo::exists(path), !old.isNull());
    if (!old.isNull())
        QCOMPARE(readFile(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             old.isNull() ? QStringList() : QStringList{u"cap.log"_s});
}

void TestSavedLogin::failedWriteKeepsOldFile()
{
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    const QString path = pathIn(dir);
    const QByteArray old("old\r\nfile\r\n");
    writeFile(path, old);

    // A file size limit makes the write itself fail, for root as well.
    rlimit saved{};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 3;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::optional<QString> error = SaveLogin({"new login", "new password"}, dir.path());
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QCOMPARE(error, QStringLiteral("Stream write error"));
    QCOMPARE(readFile(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("cap.log")});
#else
    QSKIP("needs a file size limit");
#endif
}

void TestSavedLogin::workingDirectoryAtCallTime()
{
    QTemporaryDir first;
    QTemporaryDir second;
    const QString started = QDir::currentPath();
    const auto restore = qScopeGuard([&] { QDir::setCurrent(started); });

    QVERIFY(QDir::setCurrent(first.path()));
    QCOMPARE(SaveLogin({"u", "p"}), std::nullopt);
    QCOMPARE(readSavedLogin().login, QByteArray("u"));

    QVERIFY(QDir::setCurrent(second.path()));
    QVERIFY(!readSavedLogin().found);
    deleteSavedLogin();
    QVERIFY(QFileInfo::exists(pathIn(first)));
    QCOMPARE(SaveLogin({"v", "q"}), std::nullopt);
    QCOMPARE(readFile(pathIn(second)), QByteArray("v\r\nq\r\n"));
    QCOMPARE(readFile(pathIn(first)), QByteArray("u\r\np\r\n"));
}

void TestSavedLogin::errorBoxText_data()
{
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("shown");

    const auto row = [](const char *name, const char16_t *error, const char16_t *shown) {
        QTest::newRow(name) << QString::fromUtf16(error) << QString::fromUtf16(shown);
    };
    row("letter", u"Permission denied", u"Permission denied.");
    row("closing bracket", u"List index out of bounds (1)", u"List index out of bounds (1)");
    row("full stop", u"Done.", u"Done.");
    row("slash, just after the full stop", u"a/", u"a/.");
    row("hyphen, just before", u"a-", u"a-");
    row("Cyrillic", u"Ошибка", u"Ошибка.");
    row("empty", u"", u"");
}

void TestSavedLogin::errorBoxText()
{
    QFETCH(QString, error);
    QFETCH(QString, shown);
    QCOMPARE(orvane::errorBoxText(error), shown);
}

QTEST_GUILESS_MAIN(TestSavedLogin)
#include "test_saved_login.moc"
