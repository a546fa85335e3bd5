// Formatting a 64 GiB card image FAT32: CFat32Format against mkfs.fat -F 32 with the same cluster
// size (32 KiB), each on a fresh sparse image, in the same run.

#include "bench/BenchTimer.h"
#include "platform/process/Process.h"
#include "util/CFat32Format.h"

#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

constexpr std::uint64_t kImageBytes = 64ull * 1024 * 1024 * 1024;
constexpr int kSectorsPerCluster = 64; // what a 64 GiB card gets automatically
constexpr int kRuns = 7;

void freshImage(const std::filesystem::path& path) {
    std::filesystem::remove(path);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file != nullptr) {
        std::fclose(file);
    }
    std::filesystem::resize_file(path, kImageBytes);
}

} // namespace

int main() {
    QTemporaryDir folder;
    const std::filesystem::path image = folder.filePath("card64.img").toStdString();
    bool allFormatted = true;

    const double ours = tachy::bench::medianMilliseconds(kRuns, [&] {
        freshImage(image);
        CFat32Format format;
        allFormatted = format.Format(0, image.string()) != 0 && allFormatted;
    });
    const double mkfs = tachy::bench::medianMilliseconds(kRuns, [&] {
        freshImage(image);
        tachy::Process process;
        allFormatted =
            process.start("mkfs.fat",
                          {"-F", "32", "-s", std::to_string(kSectorsPerCluster), image.string()},
                          {}, "/dev/null") &&
            process.wait(std::chrono::minutes(5)) == tachy::Process::WaitResult::Exited &&
            process.exitCode() == 0 && allFormatted;
    });
    tachy::bench::report("fat32_format_64GiB_image_32KiB_clusters", ours, mkfs,
                         "mkfs.fat -F 32 -s 64");
    if (!allFormatted) {
        std::fprintf(stderr, "a format run failed\n");
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
