// Preloaded (LD_PRELOAD) into the real client by the desktop tests. The
// service's address is compiled into the client, so a test could only reach
// it on the build's port, where a developer's demo may already listen. This
// sends the client's TCP connections for that address to the port the test's
// own demo service was given by the kernel, and touches no other connection.
//
//   ORVANE_REDIRECT_FROM  the build's service address, IP:PORT or [IPv6]:PORT
//   ORVANE_REDIRECT_TO    the loopback port to connect to instead
#include <arpa/inet.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>

namespace {

struct Redirect {
    bool active = false;
    int family = 0;
    in_addr v4{};
    in6_addr v6{};
    in_port_t fromPort = 0;
    in_port_t toPort = 0;
};

bool parsePort(const std::string &text, in_port_t &port)
{
    char *end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value == 0 || value > 65535)
        return false;
    port = htons(static_cast<uint16_t>(value));
    return true;
}

Redirect readRedirect()
{
    Redirect redirect;
    const char *from = std::getenv("ORVANE_REDIRECT_FROM");
    const char *to = std::getenv("ORVANE_REDIRECT_TO");
    if (!from || !to)
        return redirect;
    const std::string authority(from);
    const std::size_t colon = authority.rfind(':');
    if (colon == std::string::npos || !parsePort(authority.substr(colon + 1), redirect.fromPort) ||
        !parsePort(to, redirect.toPort))
        return redirect;
    std::string host = authority.substr(0, colon);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
        redirect.family = AF_INET6;
        redirect.active = inet_pton(AF_INET6, host.c_str(), &redirect.v6) == 1;
    } else {
        redirect.family = AF_INET;
        redirect.active = inet_pton(AF_INET, host.c_str(), &redirect.v4) == 1;
    }
    return redirect;
}

// An IPv4 address may also come as an IPv4-mapped IPv6 one, from a dual-stack socket.
bool matches(const Redirect &redirect, const sockaddr *address, socklen_t length)
{
    if (address->sa_family == AF_INET && length >= sizeof(sockaddr_in)) {
        sockaddr_in in;
        std::memcpy(&in, address, sizeof in);
        return redirect.family == AF_INET && in.sin_port == redirect.fromPort &&
               in.sin_addr.s_addr == redirect.v4.s_addr;
    }
    if (address->sa_family == AF_INET6 && length >= sizeof(sockaddr_in6)) {
        sockaddr_in6 in;
        std::memcpy(&in, address, sizeof in);
        if (in.sin6_port != redirect.fromPort)
            return false;
        if (redirect.family == AF_INET6)
            return std::memcmp(&in.sin6_addr, &redirect.v6, sizeof redirect.v6) == 0;
        return IN6_IS_ADDR_V4MAPPED(&in.sin6_addr) &&
               std::memcmp(&in.sin6_addr.s6_addr[12], &redirect.v4, 4) == 0;
    }
    return false;
}

} // namespace

extern "C" int connect(int fd, const sockaddr *address, socklen_t length)
{
    using Connect = int (*)(int, const sockaddr *, socklen_t);
    static const Connect next = reinterpret_cast<Connect>(dlsym(RTLD_NEXT, "connect"));
    static const Redirect redirect = readRedirect();
    if (!next) {
        errno = ENOSYS;
        return -1;
    }
    if (!redirect.active || !address || !matches(redirect, address, length))
        return next(fd, address, length);

    // The same address family, now the loopback address and the test's port.
    if (address->sa_family == AF_INET) {
        sockaddr_in target;
        std::memcpy(&target, address, sizeof target);
        target.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        target.sin_port = redirect.toPort;
        return next(fd, reinterpret_cast<const sockaddr *>(&target), sizeof target);
    }
    sockaddr_in6 target;
    std::memcpy(&target, address, sizeof target);
    if (redirect.family == AF_INET6) {
        target.sin6_addr = in6addr_loopback;
    } else {
        const in_addr loopback{htonl(INADDR_LOOPBACK)};
        std::memcpy(&target.sin6_addr.s6_addr[12], &loopback, 4);
    }
    target.sin6_port = redirect.toPort;
    return next(fd, reinterpret_cast<const sockaddr *>(&target), sizeof target);
}
