#pragma once
// Names of the suite's named kernel objects: Windows object names mapped to safe file and
// semaphore names that are private to the user.

#include <filesystem>
#include <string>
#include <string_view>

namespace tachy::ipc {

// The name with every character outside [A-Za-z0-9._-] written as _XX (hex of the byte), so
// that distinct names stay distinct and none can climb out of its folder.
std::string safeName(std::string_view name);

// $XDG_RUNTIME_DIR, or a private 0700 folder under /tmp when it is not set.
std::filesystem::path runtimeFolder();

// Eight hex digits that name the runtime folder (FNV-1a of its path): the same for every
// program of a session.
std::string sessionTag();

} // namespace tachy::ipc
