// The connectivity check on this machine's own loopback address only: look-up by address and by
// name, the fallback host, and a cancelled echo.

#include "platform/net/Reachability.h"

#include <arpa/inet.h>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using tachy::Reachability;

namespace {

std::uint32_t loopback() {
    return htonl(INADDR_LOOPBACK);
}

TEST(Reachability, DottedAddressIsTakenAsItStands) {
    const Reachability::Resolved resolved = Reachability::Resolve("127.0.0.1");
    EXPECT_EQ(resolved.lookup, Reachability::Lookup::ByAddress);
    EXPECT_EQ(resolved.address, loopback());
}

TEST(Reachability, NameIsLookedUp) {
    const Reachability::Resolved resolved = Reachability::Resolve("localhost");
    EXPECT_EQ(resolved.lookup, Reachability::Lookup::ByName);
    EXPECT_EQ(resolved.address, loopback());
}

TEST(Reachability, EmptyOrMalformedHostIsNotLookedUp) {
    EXPECT_EQ(Reachability::Resolve("").lookup, Reachability::Lookup::Failed);
    EXPECT_EQ(Reachability::Resolve("no such host").lookup, Reachability::Lookup::Failed);
}

TEST(Reachability, LoopbackAnswers) {
    Reachability reachability("", std::chrono::milliseconds(2000));
    EXPECT_EQ(reachability.Check("127.0.0.1"), 1);
    EXPECT_NE(reachability.LastMethod(), Reachability::Method::None);
    // A second echo uses a new sequence number and is answered too.
    EXPECT_EQ(reachability.Check("localhost"), 1);
}

TEST(Reachability, FallbackHostStandsInForAnUnknownName) {
    Reachability withFallback("127.0.0.1");
    EXPECT_EQ(withFallback.Check("no such host"), 1);
    Reachability withoutFallback("also not a host");
    EXPECT_EQ(withoutFallback.Check("no such host"), 0);
    EXPECT_EQ(withoutFallback.LastMethod(), Reachability::Method::None);
}

TEST(Reachability, CancelledCheckFailsAtOnce) {
    // An hour's echo limit: a cancel that were not heard would hang the test, not pass it.
    Reachability reachability("", std::chrono::hours(1));
    reachability.Cancel();
    EXPECT_EQ(reachability.Check("127.0.0.1"), 0);  // loopback would answer were the cancel ignored
    EXPECT_EQ(reachability.LastMethod(), Reachability::Method::None);  // no echo was even tried
}

} // namespace
