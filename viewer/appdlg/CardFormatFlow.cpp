#include "viewer/appdlg/CardFormatFlow.h"

#include "platform/volume/RawVolume.h"
#include "util/CFat32Format.h"
#include "util/CFat32FormatLayout.h"
#include "util/CUtilFormatDrive.h"
#include "viewer/appdlg/CardFiles.h"
#include "viewer/appdlg/CardSettingsFile.h"

#include <ctime>
#include <sys/statvfs.h>
#include <system_error>

namespace viewer::appdlg {

namespace {

namespace fs = std::filesystem;

constexpr double kBytesPerGigabyte = 1024.0 * 1024.0 * 1024.0;
// Above these sizes a failed format is put down to the card's size.
constexpr double kSystemFormatterLimitGigabytes = 32.0;
constexpr double kFat32FormatLimitGigabytes = 64.0;

std::string Trimmed(const std::array<char, 11>& label) {
    std::string text(label.begin(), label.end());
    const auto last = text.find_last_not_of(' ');
    return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

// How the card's files are reached after the format: through a folder where the device is
// mounted again (a desktop may mount a freshly formatted card), else on the device or image.
CardFiles FilesAfterFormat(const std::string& drive, const tachy::VolumeTarget& before,
                           const tachy::VolumeEnvironment& environment) {
    std::string ignored;
    if (!before.imageFile) {
        const auto now = tachy::resolveVolumeTarget(before.path.string(), environment, &ignored);
        if (now && !now->mounts.empty()) {
            return CardFiles::Mounted(now->mounts.front().mountPoint);
        }
    }
    return CardFiles::Raw(before.imageFile ? fs::path(drive) : before.path,
                          fs::temp_directory_path());
}

void RemoveCopy(const fs::path& copy) {
    std::error_code ignored;
    fs::remove(copy, ignored);
    fs::remove(copy.parent_path(), ignored); // only when nothing else is in it
}

} // namespace

CardFormatFlow::CardFormatFlow(CardFormatSetup setup) : m_setup(std::move(setup)) {}

CardFacts CardFormatFlow::ReadFacts(const std::string& drive) const {
    CardFacts facts;
    tachy::RawVolumeOptions options;
    options.environment = m_setup.environment;
    options.imageSectorSize = m_setup.imageSectorSize;
    options.forWriting = false;
    std::string error;
    const auto volume = tachy::RawVolume::open(drive, options, &error);
    if (volume) {
        facts.totalBytes = volume->partition().partitionLength;
        std::string sector(volume->geometry().bytesPerSector, '\0');
        if (volume->read(0, sector.data(), sector.size())) {
            if (const auto layout = parseBootSector(sector)) {
                facts.sectorsPerCluster = layout->sectorsPerCluster;
                facts.label = layout->hasLabel() ? Trimmed(layout->label) : std::string();
            }
        }
        return facts;
    }
    // A card the user may not read raw: its size and cluster size from the mounted file system.
    struct statvfs space {};
    if (::statvfs(drive.c_str(), &space) == 0) {
        facts.totalBytes = static_cast<std::uint64_t>(space.f_blocks) * space.f_frsize;
        facts.sectorsPerCluster = static_cast<std::uint32_t>(space.f_bsize / 512);
    }
    return facts;
}

std::string CardFormatFlow::Refusal(const std::string& drive, tachy::VolumeTarget* target) const {
    std::string error;
    const auto resolved = tachy::resolveVolumeTarget(drive, m_setup.environment, &error);
    if (!resolved) {
        return error;
    }
    if (resolved->holdsSystem()) {
        return "\"" + drive + "\" is on the disk that holds the running system (\"" +
               resolved->systemMountPoint + "\")";
    }
    if (!resolved->imageFile && resolved->device &&
        !(resolved->device->removable || resolved->device->hotPlug)) {
        return "\"" + drive + "\" is not on a removable disk";
    }
    *target = *resolved;
    return {};
}

bool CardFormatFlow::Format(const CardFormatRequest& request, const std::string& label,
                            std::string* error) const {
    if (request.formatType == 1) {
        CFat32Format formatter;
        tachy::RawVolumeOptions options;
        options.environment = m_setup.environment;
        options.imageSectorSize = m_setup.imageSectorSize;
        formatter.SetVolumeOptions(options);
        formatter.SetVolumeLabel(label);
        const bool ok = formatter.Format(request.sectorsPerCluster, request.drive) != 0;
        *error = formatter.GetLastError();
        return ok;
    }
    CUtilFormatDrive formatter;
    formatter.SetFormatter(m_setup.formatter);
    formatter.SetEnvironment(m_setup.environment);
    formatter.SetImageSectorSize(m_setup.imageSectorSize);
    const bool ok =
        formatter.FormatDrive(request.drive, "FAT32", 1, request.clusterBytes, label) == 1;
    *error = formatter.GetLastError();
    return ok;
}

// A folder of its own for each kept file, named by the time, so that a copy an earlier run had
// to leave behind is never overwritten.
fs::path CardFormatFlow::CopyPath() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32] = {};
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H-%M-%S", &local);
    const std::string base = std::string("card settings ") + stamp;
    fs::path folder = m_setup.workFolder / base;
    std::error_code ignored;
    for (int number = 2; fs::exists(folder, ignored); ++number) {
        folder = m_setup.workFolder / (base + " " + std::to_string(number));
    }
    return folder / fs::path(m_setup.setupFileName).filename();
}

CardFormatReport CardFormatFlow::Run(const CardFormatRequest& request) const {
    CardFormatReport report;
    tachy::VolumeTarget target;
    report.error = Refusal(request.drive, &target);
    if (!report.error.empty()) {
        report.result = CardFormatResult::Refused;
        return report;
    }
    const CardFacts facts = ReadFacts(request.drive);

    // The settings file, plain form first, then hidden.
    const CardSettingsFile forms =
        CardSettingsFile::At(fs::path(), m_setup.setupDir, m_setup.setupFileName);
    std::string kept;
    fs::path form;
    std::error_code failure;
    if (request.keepSettingsFile && !m_setup.setupFileName.empty()) {
        const CardFiles before = fs::is_directory(request.drive, failure)
                                     ? CardFiles::Mounted(request.drive)
                                     : CardFiles::Raw(request.drive, fs::temp_directory_path());
        if (before.Read(forms.plain, kept)) {
            form = forms.plain;
        } else if (before.Read(forms.hidden, kept)) {
            form = forms.hidden;
        }
        report.settingsFileFound = !form.empty();
    }

    // The copy in the work folder is on its disk and reads back equal before the card is touched.
    if (report.settingsFileFound) {
        report.keptCopy = CopyPath();
        std::string back;
        fs::create_directories(report.keptCopy.parent_path(), failure);
        if (failure) {
            report.error = "\"" + report.keptCopy.parent_path().string() +
                           "\" could not be made: " + failure.message();
        } else if (!CardFiles::WriteLocal(report.keptCopy, kept, &report.error) ||
                   !CardFiles::ReadLocal(report.keptCopy, back) || back != kept) {
            report.error = report.error.empty() ? "the copy read back differs" : report.error;
        }
        if (!report.error.empty()) {
            RemoveCopy(report.keptCopy);
            report.result = CardFormatResult::CopyNotSaved;
            return report;
        }
    }

    if (!Format(request, facts.label, &report.error)) {
        const double gigabytes = static_cast<double>(facts.totalBytes) / kBytesPerGigabyte;
        const double limit =
            request.formatType == 1 ? kFat32FormatLimitGigabytes : kSystemFormatterLimitGigabytes;
        report.result = gigabytes > limit ? CardFormatResult::TooLarge : CardFormatResult::Failed;
        // A format that failed part of the way may have taken the file with it: the copy stays
        // unless the card still gives it back unchanged.
        std::string back;
        if (report.settingsFileFound &&
            FilesAfterFormat(request.drive, target, m_setup.environment).Read(form, back) &&
            back == kept) {
            RemoveCopy(report.keptCopy);
            report.keptCopy.clear();
        }
        return report;
    }
    report.error.clear();
    report.result = CardFormatResult::Formatted;
    if (!report.settingsFileFound) {
        return report;
    }

    const CardFiles after = FilesAfterFormat(request.drive, target, m_setup.environment);
    const bool hidden = form == forms.hidden;
    std::string back;
    if (!after.Write(form, kept, hidden, &report.error)) {
        report.result = CardFormatResult::WriteBackFailed;
    } else if (!after.Read(form, back) || back != kept) {
        report.error = "the settings file read back from the card differs";
        report.result = CardFormatResult::WriteBackFailed;
    } else {
        RemoveCopy(report.keptCopy);
        report.keptCopy.clear();
    }
    return report;
}

} // namespace viewer::appdlg
