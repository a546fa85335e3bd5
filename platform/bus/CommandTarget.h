#pragma once
// The receiving end of the programs' command bus: a window that takes numbered commands and
// notifications (the message, its code and its argument). Sending calls it directly on the
// caller's thread; posting queues the call to the receiver's thread (see postCommand).

#include <cstdint>

namespace tachy {

class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    virtual std::intptr_t command(unsigned message, std::uintptr_t code, std::intptr_t argument) = 0;
};

} // namespace tachy
