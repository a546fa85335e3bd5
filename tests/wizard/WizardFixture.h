#pragma once
// Shared pieces of the wizard's tests: a program folder of our own with an option file and,
// when asked, the installed language files, and the viewer settings a wizard run leaves.

#include "tests/support/TempFolder.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace tachy::test {

// The option file's product block: the wizard's keys and the viewer's beside them.
std::string wizardOptionFile(const std::string& title, const std::string& langFolder = "lang");

// Copies data/lang/<name> (ENG, GER, KOR) into `languageRoot`.
void copyLanguage(const std::filesystem::path& languageRoot, const std::string& name);

// The colour mode the viewer would read for `title`, without creating the value.
std::optional<std::uint32_t> storedColorMode(const std::string& title);

// The viewer's settings file for `title` under the test's application-data folder.
std::filesystem::path viewerSettingsFile(const std::string& title);

} // namespace tachy::test
