// tachy settings show|check|set FILE: the recorder's settings file through the settings-file
// model (the page of option.ini's product, its byte table, validation and the safe write).

#include "cli/Command.h"
#include "cli/CommandRunner.h"
#include "cli/ExitCodes.h"
#include "setupfile/CSetupOption.h"
#include "setupfile/ISetupPageModel.h"
#include "setupfile/SetupFileStore.h"
#include "setupfile/SetupTextFields.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace tachy::cli {
namespace {

using namespace tachy::setupfile;

const char* StatusText(SetupFileStatus status) {
    switch (status) {
    case SetupFileStatus::Valid:
        return "valid";
    case SetupFileStatus::WrongSize:
        return "wrong size";
    case SetupFileStatus::WrongChecksum:
        return "wrong checksum";
    case SetupFileStatus::WrongMaker:
        return "wrong maker name";
    case SetupFileStatus::WrongModel:
        return "wrong model name";
    }
    return "";
}

const char* WriteText(SetupWriteResult result) {
    switch (result) {
    case SetupWriteResult::Written:
        return "written";
    case SetupWriteResult::NoFolder:
        return "its folder could not be created";
    case SetupWriteResult::NoTemporary:
        return "no temporary file could be created beside it";
    case SetupWriteResult::WriteFailed:
        return "the write failed";
    case SetupWriteResult::FlushFailed:
        return "the flush to the card failed";
    case SetupWriteResult::ReadBackDiffers:
        return "the bytes read back differ from those written";
    case SetupWriteResult::RenameFailed:
        return "the new file could not replace the old one";
    }
    return "";
}

// Everything a subcommand needs: the page, the identity and the file's bytes.
struct Loaded {
    std::filesystem::path file;
    std::unique_ptr<ISetupPageModel> page;
    SetupIdentity identity;
    std::vector<std::uint8_t> bytes;
    SetupFileStatus status = SetupFileStatus::WrongSize;
};

int Load(const Arguments& arguments, Loaded& loaded) {
    const auto options = OptionFolderFor("settings", arguments);
    if (!options) {
        return kExitFailure;
    }
    CSetupOption option;
    if (!option.Load(*options)) {
        return Fail("settings", "option.ini in " + *options + " names no settings page",
                    kExitFailure);
    }
    loaded.page = ISetupPageModel::Create(option.productId);
    if (!loaded.page) {
        return Fail("settings",
                    "product " + std::to_string(option.productId) + " has no settings page",
                    kExitFailure);
    }
    bool ok = true;
    const int codePage =
        static_cast<int>(arguments.Number("--code-page", ok).value_or(text::kCodePageWestern));
    if (!ok || (codePage != text::kCodePageWestern && codePage != text::kCodePageKorean)) {
        return Fail("settings", "--code-page is 1252 or 949", kExitUsage);
    }
    loaded.identity = option.Identity(codePage);
    const std::filesystem::path given = arguments.Positional()[1];
    loaded.file = std::filesystem::is_directory(given) ? option.SettingsFilePath(given) : given;
    const auto bytes = SetupFileStore::Read(loaded.file);
    if (!bytes) {
        return Fail("settings", "cannot read " + loaded.file.string(), kExitFailure);
    }
    loaded.bytes = *bytes;
    loaded.status = loaded.page->Validate(loaded.bytes, loaded.identity);
    return kExitOk;
}

int Show(const Loaded& loaded) {
    std::printf("file: %s\nstatus: %s\n", loaded.file.c_str(), StatusText(loaded.status));
    if (loaded.bytes.size() != kSetupFileSize) {
        std::printf("size: %zu bytes (a settings file holds %zu)\n", loaded.bytes.size(),
                    kSetupFileSize);
        return kExitFailure;
    }
    SetupBuffer buffer{};
    std::copy(loaded.bytes.begin(), loaded.bytes.end(), buffer.begin());
    const int codePage = loaded.identity.codePage;
    std::printf("page: %s\n", loaded.page->Kind() == SetupPageKind::STMI0
                                  ? "first (product 0)"
                                  : "second (products 5 and 7)");
    static const std::pair<const char*, SetupTextField> kFields[] = {
        {"text A", SetupTextField::TextA},
        {"text B", SetupTextField::TextB},
        {"model", SetupTextField::ModelName},
        {"maker", SetupTextField::MakerName},
        {"structure version", SetupTextField::StructureVersion}};
    for (const auto& [label, field] : kFields) {
        std::printf("%s: %s\n", label, ReadTextField(loaded.bytes, field, codePage).c_str());
    }
    std::printf("checksum: 0x%02X\nsettings (offset: value  [choices] factory default):\n",
                buffer[kChecksumOffset]);
    for (const SetupByteSetting& setting : loaded.page->Settings()) {
        const int stored = buffer[static_cast<std::size_t>(setting.offset)];
        const int shown = loaded.page->ShownValue(buffer, setting);
        std::printf("  %4d: %3d  [0-%d] %d%s\n", setting.offset, stored, setting.choices - 1,
                    setting.factoryDefault,
                    shown != stored
                        ? ("  (out of range; shown as " + std::to_string(shown) + ")").c_str()
                        : "");
    }
    return loaded.status == SetupFileStatus::Valid ? kExitOk : kExitFailure;
}

int Check(const Loaded& loaded) {
    std::printf("%s: %s\n", loaded.file.c_str(), StatusText(loaded.status));
    return loaded.status == SetupFileStatus::Valid ? kExitOk : kExitFailure;
}

bool ParseAssignment(const std::string& text, int& offset, int& value) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos) {
        return false;
    }
    char* end = nullptr;
    const long parsedOffset = std::strtol(text.c_str(), &end, 10);
    if (end != text.c_str() + equals || equals == 0) {
        return false;
    }
    const char* valueText = text.c_str() + equals + 1;
    const long parsedValue = std::strtol(valueText, &end, 10);
    if (*valueText == '\0' || *end != '\0' || parsedOffset < 0 || parsedOffset > 0xFFFF ||
        parsedValue < 0 || parsedValue > 255) {
        return false;
    }
    offset = static_cast<int>(parsedOffset);
    value = static_cast<int>(parsedValue);
    return true;
}

int Set(const Arguments& arguments, const Loaded& loaded) {
    if (loaded.status != SetupFileStatus::Valid) {
        return Fail("settings",
                    loaded.file.string() + " is not a valid settings file (" +
                        StatusText(loaded.status) + "); nothing was changed",
                    kExitFailure);
    }
    SetupBuffer before{};
    std::copy(loaded.bytes.begin(), loaded.bytes.end(), before.begin());
    SetupBuffer working = before;
    const auto& operands = arguments.Positional();
    for (std::size_t i = 2; i < operands.size(); ++i) {
        int offset = 0;
        int value = 0;
        if (!ParseAssignment(operands[i], offset, value)) {
            return Fail("settings", "'" + operands[i] + "' is not OFFSET=VALUE", kExitUsage);
        }
        if (!loaded.page->SetChoice(working, offset, value)) {
            return Fail("settings",
                        "byte " + std::to_string(offset) + " is not a setting of this page or " +
                            std::to_string(value) +
                            " is not one of its choices; nothing was changed",
                        kExitFailure);
        }
    }
    if (loaded.page->Compare(before, working) == kCompareNeedsFormat && !arguments.Has("--force")) {
        return Fail("settings",
                    "the recorder takes this change only on a freshly formatted card; nothing was "
                    "changed (--force writes it anyway)",
                    kExitFailure);
    }
    loaded.page->UpdateChecksum(working);
    const SetupWriteResult result = SetupFileStore().Write(loaded.file, working);
    if (result != SetupWriteResult::Written) {
        return Fail("settings", "cannot write " + loaded.file.string() + ": " + WriteText(result),
                    kExitFailure);
    }
    std::printf("%s: written\n", loaded.file.c_str());
    return kExitOk;
}

} // namespace

int RunSettings(const std::vector<std::string>& words) {
    Prepared prepared =
        Prepare("settings", words, Arguments({"--code-page"}, {"--force"}), 2, 2 + 1152);
    if (!prepared.arguments) {
        return prepared.exitCode;
    }
    const Arguments& arguments = *prepared.arguments;
    const std::string action = arguments.Positional()[0];
    if (action != "show" && action != "check" && action != "set") {
        return Fail("settings", "the action is show, check or set", kExitUsage);
    }
    if (action != "set" && arguments.Positional().size() > 2) {
        return Fail("settings", "too many operands", kExitUsage);
    }
    if (action == "set" && arguments.Positional().size() < 3) {
        return Fail("settings", "set needs at least one OFFSET=VALUE", kExitUsage);
    }
    Loaded loaded;
    if (const int failed = Load(arguments, loaded); failed != kExitOk) {
        return failed;
    }
    if (action == "show") {
        return Show(loaded);
    }
    return action == "check" ? Check(loaded) : Set(arguments, loaded);
}

} // namespace tachy::cli
