#include "service/tag_value.h"

namespace orvane {

namespace {

// Finds "<name>" (closing = false) or "</name>" without building the tag.
qsizetype findTag(QByteArrayView text, QByteArrayView name, bool closing, qsizetype from)
{
    const qsizetype prefix = closing ? 2 : 1;
    const qsizetype tagSize = prefix + name.size() + 1;
    while (from + tagSize <= text.size()) {
        const qsizetype lt = text.indexOf('<', from);
        if (lt < 0 || lt + tagSize > text.size())
            return -1;
        const QByteArrayView rest = text.sliced(lt + 1);
        if ((!closing || rest.front() == '/') && rest.sliced(prefix - 1).startsWith(name) &&
            rest[prefix - 1 + name.size()] == '>')
            return lt;
        from = lt + 1;
    }
    return -1;
}

} // namespace

QByteArrayView tagValueView(QByteArrayView text, QByteArrayView name)
{
    const qsizetype open = findTag(text, name, false, 0);
    if (open < 0)
        return {};
    const qsizetype valueStart = open + name.size() + 2;
    const qsizetype close = findTag(text, name, true, valueStart);
    if (close < 0)
        return {};
    return text.sliced(valueStart, close - valueStart);
}

} // namespace orvane
