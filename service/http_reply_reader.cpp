#include "service/http_reply_reader.h"

#include <algorithm>
#include <cstring>
#include <limits>

#if defined(Q_OS_LINUX)
#include <sys/mman.h>
#endif

namespace orvane::http {

namespace {

int parseStatus(QByteArrayView line)
{
    qsizetype pos = 0;
    const auto skipSpaces = [&] {
        while (pos < line.size() && line[pos] == ' ')
            ++pos;
    };
    skipSpaces();
    while (pos < line.size() && line[pos] != ' ')
        ++pos;
    skipSpaces();
    const qsizetype start = pos;
    qint64 value = 0;
    while (pos < line.size() && line[pos] != ' ') {
        const char c = line[pos++];
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<int>::max())
            return -1;
    }
    return pos > start ? int(value) : -1;
}

// A trimmed decimal Content-Length; -1 when it is not one. Values above
// `ceiling` come back as ceiling + 1, so no digit string can overflow.
qsizetype parseLength(QByteArrayView text, qsizetype ceiling)
{
    text = text.trimmed();
    if (text.isEmpty())
        return -1;
    qsizetype value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return -1;
        if (value <= ceiling)
            value = value * 10 + (c - '0');
    }
    return std::min(value, ceiling + 1);
}

// The chunk size line up to its first blank or ";", as hexadecimal; anything
// else counts as 0. Sizes above `ceiling` come back as ceiling + 1.
qsizetype parseChunkSize(QByteArrayView line, qsizetype ceiling)
{
    qsizetype end = 0;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != ';')
        ++end;
    if (end == 0)
        return 0;
    qsizetype value = 0;
    for (const char c : line.first(end)) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return 0;
        if (value <= ceiling)
            value = value * 16 + digit;
    }
    return std::min(value, ceiling + 1);
}

// A large body is written once, front to back, into fresh memory: huge pages
// spare the kernel a fault per 4 KiB page.
void preferHugePages(char *data, qsizetype size)
{
#if defined(Q_OS_LINUX) && defined(MADV_HUGEPAGE)
    constexpr quintptr kHuge = 2 * 1024 * 1024;
    if (size < qsizetype(2 * kHuge))
        return;
    const quintptr begin = (quintptr(data) + kHuge - 1) & ~(kHuge - 1);
    const quintptr end = (quintptr(data) + quintptr(size)) & ~(kHuge - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#else
    Q_UNUSED(data);
    Q_UNUSED(size);
#endif
}

} // namespace

ReplyReader::ReplyReader(ReaderLimits limits) : m_limits(limits) {}

QString ReplyReader::error() const
{
    switch (m_fault) {
    case Fault::None:
        return {};
    case Fault::LineTooLong:
        return QStringLiteral("reply line too long");
    case Fault::HeadersTooLarge:
        return QStringLiteral("reply headers too large");
    case Fault::BodyTooLarge:
        return QStringLiteral("reply body too large");
    case Fault::ClosedBeforeStatus:
        return QStringLiteral("connection closed before the status line");
    case Fault::ClosedInChunkedBody:
        return QStringLiteral("connection closed inside a chunked body");
    }
    return {};
}

QByteArray ReplyReader::header(QByteArrayView name) const
{
    for (const HeaderField &field : m_headers) {
        if (QByteArrayView(field.name).compare(name, Qt::CaseInsensitive) == 0)
            return field.value;
    }
    return {};
}

void ReplyReader::fail(Fault fault)
{
    m_fault = fault;
    m_state = State::Failed;
    m_partial.clear();
}

// The limit that a line of `pending` bytes so far has crossed. A byte-by-byte
// feed would have hit the lower threshold first, so a whole feed reports that
// one too.
ReplyReader::Fault ReplyReader::limitHit(qsizetype pending, bool countHeaders) const
{
    const qsizetype lineAt = m_limits.maxLine + 2; // one byte may be a CR that goes
    const qsizetype headersAt = m_limits.maxHeaderBytes - m_headerBytes; // the LF still comes
    const bool line = pending >= lineAt;
    const bool headers = countHeaders && pending >= headersAt;
    if (line && headers)
        return lineAt <= headersAt ? Fault::LineTooLong : Fault::HeadersTooLarge;
    if (line)
        return Fault::LineTooLong;
    if (headers)
        return Fault::HeadersTooLarge;
    return Fault::None;
}

bool ReplyReader::nextLine(QByteArrayView data, qsizetype &pos, QByteArrayView &line,
                           bool countHeaders)
{
    const qsizetype lf = data.indexOf('\n', pos);
    const qsizetype available = (lf < 0 ? data.size() : lf) - pos;
    const qsizetype length = m_partial.size() + available;
    if (const Fault hit = limitHit(length, countHeaders); hit != Fault::None) {
        fail(hit);
        return false;
    }
    if (lf < 0) {
        m_partial.append(data.sliced(pos));
        pos = data.size();
        return false;
    }
    if (m_partial.isEmpty()) {
        line = data.sliced(pos, available);
    } else {
        m_lineBuffer = std::move(m_partial);
        m_partial = QByteArray();
        m_lineBuffer.append(data.sliced(pos, available));
        line = m_lineBuffer;
    }
    pos = lf + 1;
    if (line.endsWith('\r'))
        line.chop(1);
    if (line.size() > m_limits.maxLine) {
        fail(Fault::LineTooLong);
        return false;
    }
    if (countHeaders)
        m_headerBytes += length + 1;
    return true;
}

void ReplyReader::headerLine(QByteArrayView line)
{
    if (line.startsWith(' ') || line.startsWith('\t')) {
        if (!m_headers.isEmpty()) {
            QByteArray &value = m_headers.last().value;
            const QByteArrayView more = line.trimmed();
            if (!value.isEmpty() && !more.isEmpty())
                value.append(' ');
            value.append(more);
        }
        return;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        return;
    const QByteArrayView name = line.first(colon).trimmed();
    if (name.isEmpty())
        return;
    m_headers.append({name.toByteArray(), line.sliced(colon + 1).trimmed().toByteArray()});
}

qsizetype ReplyReader::feed(QByteArrayView data)
{
    if (m_ended)
        return 0;
    qsizetype pos = 0;
    while (pos < data.size()) {
        switch (m_state) {
        case State::StatusLine:
        case State::Headers: {
            QByteArrayView line;
            if (!nextLine(data, pos, line, true))
                return pos;
            if (m_state == State::StatusLine) {
                m_statusLine = line.toByteArray();
                m_status = parseStatus(line);
                m_hasStatus = true;
                m_state = State::Headers;
            } else if (!line.isEmpty()) {
                headerLine(line);
            } else if (m_status == 100) {
                // An interim reply: its header bytes stay counted, so an endless
                // stream of them still runs into the header bound.
                m_headers.clear();
                m_statusLine.clear();
                m_status = -1;
                m_hasStatus = false;
                m_state = State::StatusLine;
            } else {
                m_state = State::HeadersDone;
                return pos;
            }
            break;
        }
        case State::Body:
            pos += feedBody(data.sliced(pos));
            break;
        case State::HeadersDone:
        case State::Done:
        case State::Failed:
            return pos;
        }
    }
    return pos;
}

void ReplyReader::takeBodyBytes(QByteArrayView bytes)
{
    m_bodySize += bytes.size();
    if (!m_keep)
        return;
    if (m_framing == Framing::Length) {
        std::memcpy(m_body.data() + m_keptSize, bytes.data(), size_t(bytes.size()));
    } else {
        m_body.append(bytes);
    }
    m_keptSize += bytes.size();
}

qsizetype ReplyReader::feedBody(QByteArrayView data)
{
    switch (m_framing) {
    case Framing::None:
        m_state = State::Done;
        return 0;
    case Framing::Length: {
        const qsizetype take = std::min(m_remaining, data.size());
        takeBodyBytes(data.first(take));
        m_remaining -= take;
        if (m_remaining == 0)
            m_state = State::Done;
        return take;
    }
    case Framing::UntilClose: {
        const qsizetype room = m_limits.maxBody - m_bodySize;
        if (data.size() > room) {
            takeBodyBytes(data.first(room));
            fail(Fault::BodyTooLarge);
            return room;
        }
        takeBodyBytes(data);
        return data.size();
    }
    case Framing::Chunked:
        break;
    }

    qsizetype pos = 0;
    while (pos < data.size() && m_state == State::Body) {
        if (m_chunk == Chunk::Data) {
            const qsizetype take = std::min(m_remaining, data.size() - pos);
            takeBodyBytes(data.sliced(pos, take));
            pos += take;
            m_remaining -= take;
            if (m_remaining == 0)
                m_chunk = Chunk::DataEnd;
            continue;
        }
        QByteArrayView line;
        if (!nextLine(data, pos, line, false))
            break;
        switch (m_chunk) {
        case Chunk::Size: {
            const qsizetype room = m_limits.maxBody - m_bodySize;
            const qsizetype size = parseChunkSize(line, room);
            if (size > room) {
                fail(Fault::BodyTooLarge);
            } else if (size == 0) {
                m_chunk = Chunk::Trailer;
            } else {
                m_remaining = size;
                m_chunk = Chunk::Data;
            }
            break;
        }
        case Chunk::DataEnd:
            m_chunk = Chunk::Size;
            break;
        case Chunk::Trailer:
            m_state = State::Done;
            break;
        case Chunk::Data:
            break;
        }
    }
    return pos;
}

void ReplyReader::readBody(BodyMode mode)
{
    if (m_state != State::HeadersDone)
        return;
    m_keep = mode == BodyMode::Keep;
    m_state = State::Body;

    const qsizetype length = parseLength(header("Content-Length"), m_limits.maxBody);
    if (length >= 1) {
        m_framing = Framing::Length;
        if (length > m_limits.maxBody) {
            fail(Fault::BodyTooLarge);
            return;
        }
        m_remaining = length;
        if (m_keep) {
            // Reserved first: a plain resize rounds the block up for growth that never comes.
            m_body.reserve(length);
            m_body.resize(length); // filled in place; trimmed if the stream ends early
            preferHugePages(m_body.data(), length);
        }
    } else if (header("Transfer-Encoding").contains("chunked")) {
        m_framing = Framing::Chunked;
        m_chunk = Chunk::Size;
    } else if (length == 0) {
        m_framing = Framing::None;
        m_state = State::Done;
    } else {
        m_framing = Framing::UntilClose;
    }
    if (m_ended)
        endAtClose();
}

void ReplyReader::skipBody()
{
    if (m_state == State::HeadersDone)
        m_state = State::Done;
}

std::span<char> ReplyReader::bodySpace()
{
    if (m_state != State::Body || m_framing != Framing::Length || !m_keep || m_ended)
        return {};
    return {m_body.data() + m_keptSize, size_t(m_remaining)};
}

void ReplyReader::commitBody(qsizetype n)
{
    n = std::clamp<qsizetype>(n, 0, m_remaining);
    m_bodySize += n;
    m_keptSize += n;
    m_remaining -= n;
    if (m_remaining == 0)
        m_state = State::Done;
}

void ReplyReader::finish()
{
    if (m_ended)
        return;
    m_ended = true;
    switch (m_state) {
    case State::StatusLine:
        fail(Fault::ClosedBeforeStatus);
        break;
    case State::Headers:
        m_partial.clear(); // an unfinished header line counts for nothing
        m_headersCut = true;
        m_state = State::HeadersDone;
        break;
    case State::Body:
        endAtClose();
        break;
    case State::HeadersDone:
    case State::Done:
    case State::Failed:
        break;
    }
}

void ReplyReader::endAtClose()
{
    m_partial.clear();
    switch (m_framing) {
    case Framing::Length:
        m_bodyCut = m_remaining > 0;
        m_state = State::Done;
        break;
    case Framing::Chunked:
        // The body is whole once the last chunk is in; only its closing line is missing.
        if (m_chunk == Chunk::Trailer)
            m_state = State::Done;
        else
            fail(Fault::ClosedInChunkedBody);
        break;
    case Framing::None:
    case Framing::UntilClose:
        m_state = State::Done;
        break;
    }
}

QByteArray ReplyReader::takeBody()
{
    m_body.truncate(m_keptSize);
    m_keptSize = 0;
    return std::exchange(m_body, QByteArray());
}

bool wantsClose(const HeaderList &headers)
{
    for (const HeaderField &field : headers) {
        const QByteArrayView name = field.name;
        if ((name.compare("Connection", Qt::CaseInsensitive) == 0 ||
             name.compare("Proxy-Connection", Qt::CaseInsensitive) == 0) &&
            QByteArrayView(field.value).trimmed().compare("close", Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace orvane::http
