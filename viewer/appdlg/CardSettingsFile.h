#pragma once
// Where the recorder keeps its settings file on a card: the plain form (drive, "SetupDir",
// "SetupFileName") and the hidden form, which puts a dot before the folder and before the file
// name. The option file may write "SetupDir" with Windows separators and with or without a
// trailing one.

#include <filesystem>
#include <string>

namespace viewer::appdlg {

struct CardSettingsFile {
    std::filesystem::path plain;
    std::filesystem::path hidden;

    static CardSettingsFile At(const std::filesystem::path& drive, const std::string& setupDir,
                               const std::string& setupFileName);
    // The form that exists on the card, the plain one first; empty when neither does.
    std::filesystem::path Existing() const;
};

} // namespace viewer::appdlg
