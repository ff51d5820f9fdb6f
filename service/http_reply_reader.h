#pragma once

#include "service/http_header.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <span>

namespace orvane::http {

// Bounds that keep a hostile server from growing memory without end.
struct ReaderLimits {
    qsizetype maxLine = 16384;             // status, header and chunk lines, without CR LF
    qsizetype maxHeaderBytes = 256 * 1024; // status line and header lines of one reply
    qsizetype maxBody = 32 * 1024 * 1024;
};

// Reads one HTTP/1.1 reply from a byte stream fed in pieces of any size: the
// status line, the headers (interim 100 replies passed over) and, when the
// caller asks for it after looking at the headers, the body. Splitting the
// stream differently never changes the outcome.
class ReplyReader {
public:
    enum class State {
        StatusLine,  // before the final status line
        Headers,     // inside the header block
        HeadersDone, // waiting for readBody() or skipBody()
        Body,
        Done,
        Failed,
    };
    enum class Fault {
        None,
        LineTooLong,
        HeadersTooLarge,
        BodyTooLarge,
        ClosedBeforeStatus,
        ClosedInChunkedBody,
    };
    enum class Framing { None, Length, Chunked, UntilClose };
    enum class BodyMode { Keep, Discard };

    explicit ReplyReader(ReaderLimits limits = {});

    // Takes bytes of the stream and returns how many it used. It stops taking
    // at HeadersDone, Done and Failed; what is left belongs to no reply.
    [[nodiscard]] qsizetype feed(QByteArrayView data);
    // The stream has ended (the server closed the connection).
    void finish();

    // After HeadersDone: read the body as the headers frame it (Discard counts
    // it and throws it away), or take the reply as having none.
    void readBody(BodyMode mode);
    void skipBody();

    // While a body of known length is being kept: room for its next bytes, to
    // be filled straight from the socket and then committed. Empty otherwise.
    std::span<char> bodySpace();
    void commitBody(qsizetype n);

    State state() const { return m_state; }
    Fault fault() const { return m_fault; }
    QString error() const;
    bool atEnd() const { return m_state == State::Done || m_state == State::Failed; }

    bool hasStatus() const { return m_hasStatus; } // the final status line has been read
    int statusCode() const { return m_status; }    // -1 when unreadable
    const QByteArray &statusLine() const { return m_statusLine; }
    const HeaderList &headers() const { return m_headers; }
    // The first header of that name (any case), trimmed; empty when absent.
    QByteArray header(QByteArrayView name) const;
    bool headersCut() const { return m_headersCut; } // the stream ended inside the headers
    bool ended() const { return m_ended; }           // finish() was called

    bool bodyCut() const { return m_bodyCut; }        // the stream ended short of Content-Length
    qsizetype bodySize() const { return m_bodySize; } // bytes read, kept or not
    QByteArrayView body() const { return QByteArrayView(m_body).first(m_keptSize); }
    QByteArray takeBody();

private:
    enum class Chunk { Size, Data, DataEnd, Trailer };

    bool nextLine(QByteArrayView data, qsizetype &pos, QByteArrayView &line, bool countHeaders);
    Fault limitHit(qsizetype pending, bool countHeaders) const;
    void headerLine(QByteArrayView line);
    qsizetype feedBody(QByteArrayView data);
    void takeBodyBytes(QByteArrayView bytes);
    void endAtClose();
    void fail(Fault fault);

    ReaderLimits m_limits;
    State m_state = State::StatusLine;
    Fault m_fault = Fault::None;
    bool m_ended = false;
    bool m_headersCut = false;
    bool m_bodyCut = false;
    bool m_keep = false;

    QByteArray m_partial; // an unfinished line
    QByteArray m_lineBuffer;
    qsizetype m_headerBytes = 0;

    bool m_hasStatus = false;
    int m_status = -1;
    QByteArray m_statusLine;
    HeaderList m_headers;

    Framing m_framing = Framing::None;
    Chunk m_chunk = Chunk::Size;
    qsizetype m_remaining = 0; // of the Content-Length or of the current chunk
    qsizetype m_bodySize = 0;
    qsizetype m_keptSize = 0;
    QByteArray m_body;
};

// Whether the reply asks for its connection to be closed.
[[nodiscard]] bool wantsClose(const HeaderList &headers);

} // namespace orvane::http
