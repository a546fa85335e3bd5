#pragma once
// Whether a host on the Internet answers: one ICMP echo to the host's first IPv4 address, with a
// time limit. A dotted address is used as it stands; a name is looked up first. A name that
// cannot be looked up is replaced by a fallback host, which is echoed the same way.
//
// The echo goes through an ICMP datagram socket (allowed to ordinary users by the kernel's
// ping group range), else a raw ICMP socket (root). Where neither may be opened, a TCP connection
// to port 443 stands in: an answer of any kind, acceptance or refusal, proves the host is there.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace tachy {

class Reachability {
public:
    // How the address of a host was found.
    enum class Lookup { ByAddress, ByName, Failed };

    struct Resolved {
        Lookup lookup = Lookup::Failed;
        std::uint32_t address = 0;  // IPv4, network byte order
    };

    // Which way the last echo went.
    enum class Method { None, IcmpDatagram, IcmpRaw, TcpConnect };

    static constexpr const char* kFallbackHost = "9.9.9.9";

    explicit Reachability(std::string fallbackHost = kFallbackHost,
                          std::chrono::milliseconds timeout = std::chrono::milliseconds(2000));

    // 1 when the host (or, when it cannot be looked up, the fallback host) answered in time.
    int Check(const std::string& host);

    // The host's first IPv4 address: parsed when it is dotted, looked up by name otherwise.
    static Resolved Resolve(const std::string& host);

    // One echo to `address` (network byte order); true when a reply came in time.
    bool Echo(std::uint32_t address);

    // Ends a wait under way (from another thread) and makes later echoes fail at once.
    void Cancel() { m_cancelled = true; }

    Method LastMethod() const { return m_lastMethod; }

private:
    bool EchoIcmp(int socketFd, bool raw, std::uint32_t address);
    bool EchoTcp(std::uint32_t address);
    // Waits for `events` on `fd` in short slices so that Cancel() is noticed; false on timeout.
    bool WaitReady(int fd, short events, std::chrono::steady_clock::time_point deadline) const;

    std::string m_fallbackHost;
    std::chrono::milliseconds m_timeout;
    std::atomic<bool> m_cancelled{false};
    Method m_lastMethod = Method::None;
    std::uint16_t m_sequence = 0;
};

} // namespace tachy
