// Reads arbitrary bytes as the recorder's settings file on both pages: validate, show (range
// check), edit, defaults, compare and restore, and now and then a write and read back. Bytes past
// the file's 1,313 are an edit script of (row, value) pairs; shorter inputs are files of the
// wrong size. Traps when an invariant breaks.

#include "platform/text/TextCodec.h"
#include "setupfile/ISetupPageModel.h"
#include "setupfile/SetupChecksum.h"
#include "setupfile/SetupFileStore.h"
#include "setupfile/SetupTextFields.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <unistd.h>

using namespace tachy::setupfile;

namespace {

void require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

// The file's own texts as the identity, so that its later checks are reached.
SetupIdentity identityOf(std::span<const std::uint8_t> bytes, int codePage) {
    return {ReadTextField(bytes, SetupTextField::ModelName, codePage),
            ReadTextField(bytes, SetupTextField::MakerName, codePage),
            ReadTextField(bytes, SetupTextField::StructureVersion, codePage), codePage};
}

void showAndEdit(const ISetupPageModel& page, SetupBuffer& working,
                 std::span<const std::uint8_t> script) {
    page.ApplyLoadRanges(working);
    const auto settings = page.Settings();
    for (const SetupByteSetting& setting : settings) {
        const int shown = page.ShownValue(working, setting);
        if (setting.loadDefault != kNoRangeCheck) {
            require(shown >= 0 && shown < setting.choices);
            require(shown == working[static_cast<std::size_t>(setting.offset)]);
        }
    }
    for (std::size_t i = 0; i + 1 < script.size(); i += 2) {
        const SetupByteSetting& setting = settings[script[i] % settings.size()];
        const int value = static_cast<std::int8_t>(script[i + 1]);
        const bool stored = page.SetChoice(working, setting.offset, value);
        require(stored == (value >= 0 && value < setting.choices));
        if (stored && setting.mirrorOffset != kNoMirror) {
            require(working[static_cast<std::size_t>(setting.mirrorOffset)] == value);
        }
    }
}

// A folder of this process's own, removed when the process ends.
struct ScratchFolder {
    ScratchFolder() {
        // In memory (tmpfs) where there is one, so that the flushes cost no disk time.
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        path = base / ("setupfile-fuzz-" + std::to_string(::getpid()));
    }
    ~ScratchFolder() {
        std::error_code error;
        std::filesystem::remove_all(path, error);
    }
    std::filesystem::path path;
};

void writeAndReadBack(const SetupBuffer& buffer) {
    static const ScratchFolder scratch;
    const std::filesystem::path file = scratch.path / "setting.dat";
    require(SetupFileStore().Write(file, buffer) == SetupWriteResult::Written);
    const auto read = SetupFileStore::Read(file);
    require(read && std::equal(read->begin(), read->end(), buffer.begin(), buffer.end()));
}

void runPage(int productId, std::span<const std::uint8_t> file,
             std::span<const std::uint8_t> script, int codePage) {
    const auto page = ISetupPageModel::Create(productId);
    const SetupIdentity own = identityOf(file, codePage);
    const SetupIdentity fixed{"TACHY-100", "TACHY", "1.0", codePage};
    const SetupFileStatus status = page->Validate(file, own);
    page->Validate(file, fixed);
    require((status == SetupFileStatus::WrongSize) == (file.size() != kSetupFileSize));

    SetupBuffer loaded{};
    std::copy_n(file.begin(), std::min(file.size(), kSetupFileSize), loaded.begin());
    SetupBuffer working = loaded;
    showAndEdit(*page, working, script);
    for (const auto field :
         {SetupTextField::TextA, SetupTextField::TextB, SetupTextField::ModelName,
          SetupTextField::MakerName, SetupTextField::StructureVersion}) {
        require(tachy::text::isValidUtf8(ReadTextField(working, field, codePage)));
    }
    require(tachy::text::isValidUtf8(page->ModelNameText(working, codePage)));
    if (page->Compare(loaded, working) == kCompareNeedsFormat) {
        page->RestoreFormatSetting(loaded, working, 1);
        require(page->Compare(loaded, working) == kCompareNothingSpecial);
    }
    page->UpdateChecksum(working);
    require(HasValidChecksum(working));
    if (!file.empty() && (file[0] & 0x0F) == 0) {
        writeAndReadBack(working);
    }
    page->ButtonDefaults(working, own);
    require(HasValidChecksum(working));
    page->FactoryDefaults(working, own);
    // Whatever the names, a new file passes validation with them.
    SetupBuffer created = loaded;
    page->NewFileDefaults(created, own);
    require(page->Validate(created, own) == SetupFileStatus::Valid);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    const std::span<const std::uint8_t> file = input.first(std::min(size, kSetupFileSize));
    const std::span<const std::uint8_t> script = input.subspan(file.size());
    const int codePage = (size % 2 == 1) ? 1252 : 949; // a whole file alone: CP1252
    runPage(0, file, script, codePage);
    runPage(5, file, script, codePage);
    return 0;
}
