#include "service/text_codec.h"

#include <QHash>
#include <QStringDecoder>
#include <array>

namespace orvane {

namespace {

// The code page is one byte per character, so two tables made once from the
// platform's decoder convert both ways exactly. (The platform's encoder would
// turn an unmappable character into a control byte, not "?".)
struct CodePage {
    std::array<char16_t, 256> toUnicode{};
    QHash<char16_t, char> fromUnicode;
    bool valid = false;

    CodePage()
    {
        QStringDecoder decoder("windows-1251", QStringDecoder::Flag::Stateless);
        valid = decoder.isValid();
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            const QString text = decoder(QByteArrayView(&byte, 1));
            toUnicode[b] = text.size() == 1 ? text.front().unicode() : u'\ufffd';
            if (toUnicode[b] != u'\ufffd')
                fromUnicode.insert(toUnicode[b], byte);
        }
    }
};

const CodePage &cp1251()
{
    static const CodePage table;
    return table;
}

} // namespace

bool cp1251Available()
{
    return cp1251().valid;
}

QString fromCp1251(QByteArrayView text)
{
    const CodePage &page = cp1251();
    QString result(text.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(result.data());
    for (const char byte : text)
        *out++ = page.toUnicode[quint8(byte)];
    return result;
}

QByteArray toCp1251(QStringView text)
{
    const CodePage &page = cp1251();
    QByteArray result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text[i + 1].unicode()))
            ++i; // one character outside the code page, one "?"
        result.append(page.fromUnicode.value(c, '?'));
    }
    return result;
}

} // namespace orvane
