#include "platform/net/Reachability.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <algorithm>

namespace tachy {

namespace {

constexpr std::size_t kMaxHostBytes = 259;
constexpr std::uint8_t kEchoRequest = 8;
constexpr std::uint8_t kEchoReply = 0;
constexpr std::uint16_t kTcpPort = 443;
constexpr auto kWaitSlice = std::chrono::milliseconds(50);

// A socket closed when it goes out of scope.
class SocketHandle {
public:
    explicit SocketHandle(int fd) : m_fd(fd) {}
    ~SocketHandle() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    SocketHandle(const SocketHandle&) = delete;
    SocketHandle& operator=(const SocketHandle&) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }

private:
    int m_fd;
};

std::uint16_t internetChecksum(const std::uint8_t* data, std::size_t length) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < length; i += 2) {
        sum += static_cast<std::uint32_t>(data[i] << 8 | data[i + 1]);
    }
    if (length % 2 != 0) {
        sum += static_cast<std::uint32_t>(data[length - 1] << 8);
    }
    while ((sum >> 16) != 0) {
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return static_cast<std::uint16_t>(~sum);
}

sockaddr_in socketAddress(std::uint32_t address, std::uint16_t port) {
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_addr.s_addr = address;
    target.sin_port = htons(port);
    return target;
}

} // namespace

Reachability::Reachability(std::string fallbackHost, std::chrono::milliseconds timeout)
    : m_fallbackHost(std::move(fallbackHost)), m_timeout(timeout) {}

Reachability::Resolved Reachability::Resolve(const std::string& host) {
    const std::string text = host.substr(0, kMaxHostBytes);
    Resolved result;
    if (text.empty()) {
        return result;
    }
    in_addr parsed{};
    if (::inet_pton(AF_INET, text.c_str(), &parsed) == 1) {
        result.lookup = Lookup::ByAddress;
        result.address = parsed.s_addr;
        return result;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(text.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
        return result;
    }
    result.lookup = Lookup::ByName;
    result.address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    ::freeaddrinfo(found);
    return result;
}

int Reachability::Check(const std::string& host) {
    Resolved resolved = Resolve(host);
    if (resolved.lookup == Lookup::Failed) {
        resolved = Resolve(m_fallbackHost);
    }
    if (resolved.lookup == Lookup::Failed) {
        return 0;
    }
    return Echo(resolved.address) ? 1 : 0;
}

bool Reachability::Echo(std::uint32_t address) {
    m_lastMethod = Method::None;
    if (m_cancelled) {
        return false;
    }
    SocketHandle datagram(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_ICMP));
    if (datagram.valid()) {
        m_lastMethod = Method::IcmpDatagram;
        return EchoIcmp(datagram.get(), false, address);
    }
    SocketHandle raw(::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_ICMP));
    if (raw.valid()) {
        m_lastMethod = Method::IcmpRaw;
        return EchoIcmp(raw.get(), true, address);
    }
    m_lastMethod = Method::TcpConnect;
    return EchoTcp(address);
}

// An echo request without data; the reply must carry the same sequence number (and, on a raw
// socket, which sees every ICMP packet of the machine, the same identifier).
bool Reachability::EchoIcmp(int socketFd, bool raw, std::uint32_t address) {
    const std::uint16_t identifier = static_cast<std::uint16_t>(::getpid() & 0xFFFF);
    const std::uint16_t sequence = ++m_sequence;
    std::array<std::uint8_t, 8> request{kEchoRequest, 0, 0, 0,
                                        static_cast<std::uint8_t>(identifier >> 8),
                                        static_cast<std::uint8_t>(identifier & 0xFF),
                                        static_cast<std::uint8_t>(sequence >> 8),
                                        static_cast<std::uint8_t>(sequence & 0xFF)};
    const std::uint16_t checksum = internetChecksum(request.data(), request.size());
    request[2] = static_cast<std::uint8_t>(checksum >> 8);
    request[3] = static_cast<std::uint8_t>(checksum & 0xFF);
    const sockaddr_in target = socketAddress(address, 0);
    if (::sendto(socketFd, request.data(), request.size(), 0, reinterpret_cast<const sockaddr*>(&target),
                 sizeof(target)) != static_cast<ssize_t>(request.size())) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + m_timeout;
    std::array<std::uint8_t, 128> reply{};
    while (WaitReady(socketFd, POLLIN, deadline)) {
        sockaddr_in from{};
        socklen_t fromLength = sizeof(from);
        const ssize_t got = ::recvfrom(socketFd, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from),
                                       &fromLength);
        if (got <= 0 || from.sin_addr.s_addr != address) {
            continue;
        }
        std::size_t offset = 0;
        if (raw) {
            offset = static_cast<std::size_t>(reply[0] & 0x0F) * 4;
        }
        if (static_cast<std::size_t>(got) < offset + 8 || reply[offset] != kEchoReply) {
            continue;
        }
        const std::uint16_t gotId = static_cast<std::uint16_t>(reply[offset + 4] << 8 | reply[offset + 5]);
        const std::uint16_t gotSequence = static_cast<std::uint16_t>(reply[offset + 6] << 8 | reply[offset + 7]);
        if (gotSequence == sequence && (!raw || gotId == identifier)) {
            return true;
        }
    }
    return false;
}

bool Reachability::EchoTcp(std::uint32_t address) {
    SocketHandle stream(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!stream.valid()) {
        return false;
    }
    const sockaddr_in target = socketAddress(address, kTcpPort);
    if (::connect(stream.get(), reinterpret_cast<const sockaddr*>(&target), sizeof(target)) == 0) {
        return true;
    }
    if (errno == ECONNREFUSED) {
        return true;
    }
    if (errno != EINPROGRESS) {
        return false;
    }
    if (!WaitReady(stream.get(), POLLOUT, std::chrono::steady_clock::now() + m_timeout)) {
        return false;
    }
    int error = 0;
    socklen_t length = sizeof(error);
    if (::getsockopt(stream.get(), SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
        return false;
    }
    return error == 0 || error == ECONNREFUSED;
}

bool Reachability::WaitReady(int fd, short events, std::chrono::steady_clock::time_point deadline) const {
    while (!m_cancelled) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(std::min(left, kWaitSlice).count()));
        if (ready > 0) {
            return (entry.revents & (events | POLLERR | POLLHUP)) != 0;
        }
        if (ready < 0 && errno != EINTR) {
            return false;
        }
    }
    return false;
}

} // namespace tachy
