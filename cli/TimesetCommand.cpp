// tachy timeset CARD [TIME]: the recorder's clock file.

#include "cli/Command.h"
#include "cli/CommandRunner.h"
#include "cli/ExitCodes.h"
#include "cli/TimeText.h"
#include "setupfile/CSetupOption.h"
#include "setupfile/TimeSetFile.h"

#include <cstdio>
#include <ctime>

namespace tachy::cli {
namespace {

using tachy::setupfile::TimeSetFile;

// "YYYY-MM-DD HH:MM:SS" (or with "T") as the clock file's time value: the recorder's own
// wall-clock time, taken as written (no time zone; a fraction or "Z" is refused).
std::optional<std::int64_t> ParseTime(const std::string& text) {
    const auto fields = ParseDateTimeFields(text);
    if (!fields || fields->withFraction || fields->withZone) {
        return std::nullopt;
    }
    return TimeSetFile::Compose(fields->year, fields->month, fields->day, fields->hour,
                                fields->minute, fields->second);
}

// This computer's local time now, as the recorder's clock keeps it (no time zone).
std::int64_t LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return TimeSetFile::Compose(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                local.tm_hour, local.tm_min, std::min(local.tm_sec, 59))
        .value_or(0);
}

} // namespace

int RunTimeset(const std::vector<std::string>& words) {
    Prepared prepared = Prepare("timeset", words, Arguments({}, {}), 1, 3);
    if (!prepared.arguments) {
        return prepared.exitCode;
    }
    const Arguments& arguments = *prepared.arguments;
    const auto& operands = arguments.Positional();
    std::int64_t time = 0;
    if (operands.size() > 1) {
        // The time as one word or as date and time in two.
        const std::string text =
            operands.size() == 3 ? operands[1] + " " + operands[2] : operands[1];
        const auto parsed = ParseTime(text);
        if (!parsed) {
            return Fail("timeset", "'" + text + "' is not a time YYYY-MM-DD HH:MM:SS", kExitUsage);
        }
        time = *parsed;
    } else {
        time = LocalNow();
    }
    const std::filesystem::path card = operands[0];
    if (!std::filesystem::is_directory(card)) {
        return Fail("timeset", card.string() + " is not a folder", kExitFailure);
    }
    const auto options = OptionFolderFor("timeset", arguments);
    if (!options) {
        return kExitFailure;
    }
    tachy::setupfile::CSetupOption option;
    option.Load(*options);
    const std::filesystem::path folder = option.SettingsFolder(card);
    if (TimeSetFile::WriteTimeSet(tachy::setupfile::SetupFileStore(), folder, time) !=
        tachy::setupfile::SetupWriteResult::Written) {
        return Fail("timeset", "cannot write " + (folder / TimeSetFile::kTimeSetName).string(),
                    kExitFailure);
    }
    std::printf("%s: %s\n", (folder / TimeSetFile::kTimeSetName).c_str(),
                TimeSetFile::Text(time).c_str());
    return kExitOk;
}

} // namespace tachy::cli
