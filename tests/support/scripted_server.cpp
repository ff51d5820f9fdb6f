#include "tests/support/scripted_server.h"

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace orvane::test {
namespace {

constexpr QByteArrayView kEndOfHead = "\r\n\r\n";

enum class Wait { Ready, TimedOut, Stop };
enum class Read { Whole, Closed, Stop };
enum class Ending { Graceful, Abrupt };

[[noreturn]] void fail(const char *what)
{
    qFatal("ScriptedServer: %s failed: %s", what, std::strerror(errno));
}

} // namespace

struct ScriptedServer::State {
    QList<ConnectionScript> scripts; // read-only once the threads run
    int listenFd = -1;
    int wakeRead = -1; // becomes readable, and stays so, when the server is being destroyed
    int wakeWrite = -1;
    quint16 port = 0;
    std::atomic<int> accepted{0};

    mutable std::mutex mutex;
    QList<QByteArray> requests;
    std::vector<bool> closed; // by accepted connection
    mutable std::condition_variable closedChanged;

    std::thread acceptor;
    std::vector<std::thread> workers; // one per scripted connection; touched by the acceptor only

    Wait wait(int fd, short events, int timeoutMs) const;
    bool pause(int ms) const { return wait(-1, 0, ms) != Wait::Stop; }
    Read readRequest(int fd, QByteArray &buffer, QByteArray &request);
    bool send(int fd, const char *data, qsizetype size) const;
    bool dribble(int fd, const char *data, qsizetype size, int pauseMs) const;
    void stall(int fd) const;
    void record(QByteArray request);
    void markClosed(int index);
    void acceptLoop();
    Ending play(int fd, const ConnectionScript &script);
    void serve(int fd, int index);
};

Wait ScriptedServer::State::wait(int fd, short events, int timeoutMs) const
{
    // A negative fd is ignored by poll(), which turns this into an interruptible sleep.
    pollfd fds[2] = {{wakeRead, POLLIN, 0}, {fd, events, 0}};
    for (;;) {
        const int n = ::poll(fds, 2, timeoutMs);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            fail("poll");
        if (fds[0].revents != 0)
            return Wait::Stop;
        return n == 0 ? Wait::TimedOut : Wait::Ready;
    }
}

Read ScriptedServer::State::readRequest(int fd, QByteArray &buffer, QByteArray &request)
{
    qsizetype searchFrom = 0;
    for (;;) {
        const qsizetype end = buffer.indexOf(kEndOfHead, searchFrom);
        if (end >= 0) {
            request = buffer.left(end + kEndOfHead.size());
            buffer.remove(0, request.size());
            return Read::Whole;
        }
        searchFrom = qMax<qsizetype>(0, buffer.size() - (kEndOfHead.size() - 1));
        if (wait(fd, POLLIN, -1) == Wait::Stop)
            return Read::Stop;
        char chunk[16384];
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n > 0) {
            buffer.append(chunk, n);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
            continue;
        if (!buffer.isEmpty())
            record(std::exchange(buffer, {}));
        return Read::Closed;
    }
}

bool ScriptedServer::State::send(int fd, const char *data, qsizetype size) const
{
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size_t(size), MSG_NOSIGNAL);
        if (n > 0) {
            data += n;
            size -= n;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (wait(fd, POLLOUT, -1) == Wait::Stop)
                return false;
        } else if (!(n < 0 && errno == EINTR)) {
            return false;
        }
    }
    return true;
}

bool ScriptedServer::State::dribble(int fd, const char *data, qsizetype size, int pauseMs) const
{
    for (qsizetype i = 0; i < size; ++i) {
        if (i > 0 && !pause(pauseMs))
            return false;
        if (!send(fd, data + i, 1))
            return false;
    }
    return true;
}

void ScriptedServer::State::stall(int fd) const
{
    // Whatever the client still sends is read and dropped, so that its arrival cannot wake
    // poll() over and over.
    while (wait(fd, POLLIN, -1) == Wait::Ready) {
        char chunk[4096];
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
            return;
    }
}

void ScriptedServer::State::record(QByteArray request)
{
    const std::lock_guard lock(mutex);
    requests.append(std::move(request));
}

void ScriptedServer::State::markClosed(int index)
{
    const std::lock_guard lock(mutex);
    if (std::size_t(index) >= closed.size())
        closed.resize(std::size_t(index) + 1);
    closed[std::size_t(index)] = true;
    closedChanged.notify_all();
}

namespace {

// The client sees every byte sent, then end of stream. Unread input would make close()
// send a reset instead, and a reset can discard data the client has not read yet.
void closeGracefully(int fd)
{
    ::shutdown(fd, SHUT_WR);
    char chunk[4096];
    while (::recv(fd, chunk, sizeof chunk, MSG_DONTWAIT) > 0) {
    }
    ::close(fd);
}

} // namespace

Ending ScriptedServer::State::play(int fd, const ConnectionScript &script)
{
    QByteArray buffer; // bytes read past the end of the request before
    QByteArray request;
    for (const Exchange &exchange : script) {
        if (readRequest(fd, buffer, request) != Read::Whole)
            return Ending::Abrupt;
        record(request);

        const bool cut = exchange.cutAfter >= 0;
        const qsizetype length =
            cut ? qMin(exchange.cutAfter, exchange.reply.size()) : exchange.reply.size();
        bool sent = true;
        if (exchange.delivery == Exchange::Delivery::Dribble) {
            const qsizetype whole = qBound<qsizetype>(0, exchange.dribbleFrom, length);
            sent = send(fd, exchange.reply.constData(), whole) &&
                   dribble(fd, exchange.reply.constData() + whole, length - whole,
                           exchange.dribblePauseMs);
        } else {
            sent = send(fd, exchange.reply.constData(), length);
        }
        if (!sent)
            return Ending::Abrupt;
        if (cut || exchange.then == Exchange::Then::Close)
            return Ending::Graceful;
        if (exchange.then == Exchange::Then::Stall) {
            stall(fd);
            return Ending::Abrupt;
        }
    }
    if (readRequest(fd, buffer, request) == Read::Whole)
        record(request);
    return Ending::Graceful;
}

void ScriptedServer::State::serve(int fd, int index)
{
    if (play(fd, scripts.at(index)) == Ending::Graceful)
        closeGracefully(fd);
    else
        ::close(fd);
    markClosed(index);
}

void ScriptedServer::State::acceptLoop()
{
    while (wait(listenFd, POLLIN, -1) == Wait::Ready) {
        const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            // Out of descriptors and the like: back off rather than spin on a ready socket.
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR &&
                errno != ECONNABORTED && !pause(20))
                return;
            continue;
        }
        const int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one); // dribbled bytes go alone
        const int index = accepted.fetch_add(1);
        if (index < scripts.size()) {
            workers.emplace_back([this, fd, index] { serve(fd, index); });
        } else {
            closeGracefully(fd);
            markClosed(index);
        }
    }
}

ScriptedServer::ScriptedServer(QList<ConnectionScript> scripts) : m_state(new State)
{
    State &s = *m_state;
    s.scripts = std::move(scripts);

    int wake[2];
    if (::pipe2(wake, O_CLOEXEC) != 0)
        fail("pipe2");
    s.wakeRead = wake[0];
    s.wakeWrite = wake[1];

    s.listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (s.listenFd < 0)
        fail("socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (::bind(s.listenFd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0)
        fail("bind");
    if (::listen(s.listenFd, SOMAXCONN) != 0)
        fail("listen");
    socklen_t length = sizeof address;
    if (::getsockname(s.listenFd, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        fail("getsockname");
    s.port = ntohs(address.sin_port);

    s.acceptor = std::thread([&s] { s.acceptLoop(); });
}

ScriptedServer::~ScriptedServer()
{
    State &s = *m_state;
    const char byte = 1;
    while (::write(s.wakeWrite, &byte, 1) < 0 && errno == EINTR) {
    }
    s.acceptor.join();
    for (std::thread &worker : s.workers)
        worker.join();
    ::close(s.listenFd);
    ::close(s.wakeRead);
    ::close(s.wakeWrite);
}

quint16 ScriptedServer::port() const
{
    return m_state->port;
}

QByteArray ScriptedServer::authority() const
{
    return QByteArray("127.0.0.1:") + QByteArray::number(m_state->port);
}

QList<QByteArray> ScriptedServer::requests() const
{
    const std::lock_guard lock(m_state->mutex);
    return m_state->requests;
}

int ScriptedServer::connectionsAccepted() const
{
    return m_state->accepted.load();
}

bool ScriptedServer::waitForClosed(int connection, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_state->mutex);
    return m_state->closedChanged.wait_for(lock, timeout, [&] {
        return std::size_t(connection) < m_state->closed.size() &&
               m_state->closed[std::size_t(connection)];
    });
}

} // namespace orvane::test
