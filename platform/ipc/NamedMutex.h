#pragma once
// A named single-instance lock shared between processes of the same user: the first object
// of a name holds it until destroyed; later ones (in any process) see that it already exists.
// Runs on flock() over a lock file in the runtime folder, so a crashed holder frees it.

#include "platform/fs/UniqueFd.h"

#include <string_view>

namespace tachy {

class NamedMutex {
public:
    explicit NamedMutex(std::string_view name);

    // True when another holder of this name was alive when this object was created.
    bool alreadyExists() const { return m_alreadyExists; }
    // True when this object holds the name.
    bool isOwner() const { return m_lock.valid(); }

private:
    fs::UniqueFd m_lock;  // open and locked while this object holds the name
    bool m_alreadyExists = false;
};

} // namespace tachy
