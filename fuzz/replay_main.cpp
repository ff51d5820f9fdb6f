#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

void feed(const QByteArray &input)
{
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(input.constData()),
                           size_t(input.size()));
}

QByteArray everyByte()
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(char(b));
    return bytes;
}

} // namespace

// A fuzz target without the fuzzer: a few inputs of its own, then every file
// named on the command line or held by a folder named there. A failed check
// aborts, as under the fuzzer; a folder with nothing to read is an error, so
// that a lost corpus cannot pass unnoticed.
int main(int argc, char **argv)
{
    const QByteArray builtIn[] = {QByteArray(),        QByteArray(1, '\0'),   QByteArray(1, '\xff'),
                                  QByteArray(64, ' '), QByteArray(4096, 'a'), everyByte()};
    int fed = 0;
    for (const QByteArray &input : builtIn) {
        feed(input);
        ++fed;
    }
    for (int i = 1; i < argc; ++i) {
        const QString path = QFile::decodeName(argv[i]);
        QStringList files;
        if (QFileInfo(path).isDir()) {
            const QDir folder(path);
            for (const QString &name : folder.entryList(QDir::Files, QDir::Name))
                files << folder.filePath(name);
        } else {
            files << path;
        }
        if (files.isEmpty()) {
            std::fprintf(stderr, "replay: nothing to read in %s\n", argv[i]);
            return 1;
        }
        for (const QString &name : files) {
            QFile file(name);
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "replay: cannot read %s\n", qPrintable(name));
                return 1;
            }
            feed(file.readAll());
            ++fed;
        }
    }
    std::printf("replayed %d inputs\n", fed);
    return 0;
}
