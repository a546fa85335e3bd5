// tachy format-image IMAGE [--cluster N] [--label L]: the FAT32 formatter on a card image.

#include "cli/Command.h"
#include "cli/CommandRunner.h"
#include "cli/ExitCodes.h"
#include "util/CFat32Format.h"

#include <cstdio>

namespace tachy::cli {

int RunFormatImage(const std::vector<std::string>& words) {
    Prepared prepared =
        Prepare("format-image", words, Arguments({"--cluster", "--label"}, {}), 1, 1);
    if (!prepared.arguments) {
        return prepared.exitCode;
    }
    const Arguments& arguments = *prepared.arguments;
    bool ok = true;
    const double cluster = arguments.Number("--cluster", ok).value_or(0);
    const auto whole = static_cast<int>(cluster);
    if (!ok || whole != cluster || whole < 0 || whole > 128 || (whole & (whole - 1)) != 0) {
        return Fail("format-image", "--cluster is a power of two from 1 to 128 (sectors)",
                    kExitUsage);
    }
    const std::string label = arguments.Value("--label").value_or("");
    if (label.size() > 11) {
        return Fail("format-image", "--label holds at most 11 characters", kExitUsage);
    }
    const std::filesystem::path image = arguments.Positional()[0];
    // Only an image: a block device given here by mistake would lose its card.
    if (!std::filesystem::is_regular_file(image)) {
        return Fail("format-image", image.string() + " is not an image file", kExitFailure);
    }
    CFat32Format formatter;
    formatter.SetVolumeLabel(label);
    if (formatter.Format(whole, image.string()) == 0) {
        return Fail("format-image",
                    "cannot format " + image.string() + ": " + formatter.GetLastError(),
                    kExitFailure);
    }
    std::printf("%s: FAT32 written (%ju bytes)\n", image.c_str(),
                static_cast<std::uintmax_t>(formatter.GetBytesWritten()));
    return kExitOk;
}

} // namespace tachy::cli
