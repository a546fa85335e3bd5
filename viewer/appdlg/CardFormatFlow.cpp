#include "viewer/appdlg/CardFormatFlow.h"

#include "platform/volume/RawVolume.h"
#include "util/CFat32Format.h"
#include "util/CFat32FormatLayout.h"
#include "util/CUtilFormatDrive.h"
#include "viewer/appdlg/CardFiles.h"
#include "viewer/appdlg/CardSettingsFile.h"

#include <algorithm>
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

void RemoveFile(const fs::path& copy) {
    std::error_code ignored;
    if (!copy.empty()) {
        fs::remove(copy, ignored);
    }
}

// The name of a file's copy: its own name, or its whole path when another kept file has that name.
fs::path CopyName(const std::vector<CardKeptFile>& files, std::size_t index) {
    const fs::path name = files[index].plain.filename();
    for (std::size_t other = 0; other < index; ++other) {
        if (files[other].plain.filename() == name) {
            std::string flat = files[index].plain.generic_string();
            std::replace(flat.begin(), flat.end(), '/', '_');
            return flat;
        }
    }
    return name;
}

// Removes every copy (the card was never touched) or keeps those left, and removes the run's
// folder once nothing is in it.
void RemoveCopies(CardFormatReport& report, bool keepLeft) {
    for (CardKeptFileReport& entry : report.files) {
        if (!keepLeft) {
            RemoveFile(entry.keptCopy);
        }
    }
    std::error_code ignored;
    if (!report.keptFolder.empty() && fs::is_empty(report.keptFolder, ignored) && !ignored) {
        fs::remove(report.keptFolder, ignored);
        report.keptFolder.clear();
    }
}

// After a format: the settings file's copy named on its own, the folder kept only while it holds
// a copy.
void FinishCopies(CardFormatReport& report, bool withSettings) {
    report.keptCopy = withSettings && !report.files.empty() ? report.files[0].keptCopy : fs::path();
    RemoveCopies(report, true);
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

// A folder of its own for each run's copies, named by the time, so that copies an earlier run had
// to leave behind are never overwritten.
fs::path CardFormatFlow::CopyFolder() const {
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
    return folder;
}

std::vector<CardKeptFile> CardFormatFlow::KeptFiles(const CardFormatRequest& request) const {
    std::vector<CardKeptFile> files;
    if (WithSettingsFile(request)) {
        const CardSettingsFile forms =
            CardSettingsFile::At(fs::path(), m_setup.setupDir, m_setup.setupFileName);
        files.push_back({forms.plain, forms.hidden});
    }
    files.insert(files.end(), request.otherFiles.begin(), request.otherFiles.end());
    return files;
}

bool CardFormatFlow::WithSettingsFile(const CardFormatRequest& request) const {
    return (request.keepSettingsFile || request.settingsFileAfterFormat) &&
           !m_setup.setupFileName.empty();
}

bool CardFormatFlow::KeepCopies(const CardFormatRequest& request,
                                const std::vector<CardKeptFile>& files,
                                std::vector<std::string>& contents,
                                CardFormatReport& report) const {
    std::error_code failure;
    const CardFiles before = fs::is_directory(request.drive, failure)
                                 ? CardFiles::Mounted(request.drive)
                                 : CardFiles::Raw(request.drive, fs::temp_directory_path());
    contents.assign(files.size(), std::string());
    report.files.assign(files.size(), CardKeptFileReport());
    bool any = false;
    for (std::size_t index = 0; index < files.size(); ++index) {
        CardKeptFileReport& entry = report.files[index];
        entry.path = files[index].plain;
        if (before.Read(files[index].plain, contents[index])) {
            entry.found = true;
        } else if (!files[index].hidden.empty() &&
                   before.Read(files[index].hidden, contents[index])) {
            entry.path = files[index].hidden;
            entry.found = true;
        }
        any = any || entry.found;
    }
    if (!any) {
        return true;
    }

    // Every copy is on the work folder's disk and reads back equal before the card is touched.
    const fs::path folder = CopyFolder();
    for (std::size_t index = 0; index < files.size(); ++index) {
        if (report.files[index].found) {
            report.files[index].keptCopy = folder / CopyName(files, index);
        }
    }
    fs::create_directories(folder, failure);
    if (failure) {
        report.error = "\"" + folder.string() + "\" could not be made: " + failure.message();
    }
    for (std::size_t index = 0; index < files.size() && report.error.empty(); ++index) {
        const CardKeptFileReport& entry = report.files[index];
        std::string back;
        if (!entry.found) {
            continue;
        }
        if (!CardFiles::WriteLocal(entry.keptCopy, contents[index], &report.error) ||
            !CardFiles::ReadLocal(entry.keptCopy, back) || back != contents[index]) {
            report.error = report.error.empty()
                               ? "the copy \"" + entry.keptCopy.string() + "\" read back differs"
                               : report.error;
        }
    }
    report.keptFolder = folder;
    if (report.error.empty()) {
        return true;
    }
    RemoveCopies(report, false);
    report.keptFolder.clear();
    return false;
}

void CardFormatFlow::WriteBack(const CardFiles& after, const std::vector<CardKeptFile>& files,
                               const std::vector<std::string>& contents,
                               const CardFormatRequest& request, CardFormatReport& report) const {
    const bool withSettings = WithSettingsFile(request);
    for (std::size_t index = 0; index < files.size(); ++index) {
        CardKeptFileReport& entry = report.files[index];
        const bool replaced = index == 0 && withSettings && request.settingsFileAfterFormat;
        if (!entry.found && !replaced) {
            continue;
        }
        const std::string& bytes = replaced ? *request.settingsFileAfterFormat : contents[index];
        const bool hidden = !files[index].hidden.empty() && entry.path == files[index].hidden;
        std::string error;
        std::string back;
        if (!after.Write(entry.path, bytes, hidden, &error)) {
            // the writer's reason
        } else if (!after.Read(entry.path, back) || back != bytes) {
            error = index == 0 && withSettings
                        ? "the settings file read back from the card differs"
                        : "\"" + entry.path.generic_string() + "\" read back from the card differs";
        } else {
            entry.written = true;
            RemoveFile(entry.keptCopy);
            entry.keptCopy.clear();
            continue;
        }
        report.result = CardFormatResult::WriteBackFailed;
        report.error = report.error.empty() ? error : report.error + "\n" + error;
    }
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
    const bool withSettings = WithSettingsFile(request);
    const std::vector<CardKeptFile> files = KeptFiles(request);
    std::vector<std::string> contents;
    const bool kept = KeepCopies(request, files, contents, report);
    report.settingsFileFound = withSettings && request.keepSettingsFile && report.files[0].found;
    if (!kept) {
        report.keptCopy = withSettings ? report.files[0].keptCopy : fs::path();
        report.result = CardFormatResult::CopyNotSaved;
        return report;
    }

    if (!Format(request, request.label.value_or(facts.label), &report.error)) {
        const double gigabytes = static_cast<double>(facts.totalBytes) / kBytesPerGigabyte;
        const double limit =
            request.formatType == 1 ? kFat32FormatLimitGigabytes : kSystemFormatterLimitGigabytes;
        report.result = gigabytes > limit ? CardFormatResult::TooLarge : CardFormatResult::Failed;
        // A format that failed part of the way may have taken the files with it: a copy stays
        // unless the card still gives its file back unchanged.
        if (!report.keptFolder.empty()) {
            const CardFiles after = FilesAfterFormat(request.drive, target, m_setup.environment);
            for (std::size_t index = 0; index < files.size(); ++index) {
                CardKeptFileReport& entry = report.files[index];
                std::string back;
                if (entry.found && after.Read(entry.path, back) && back == contents[index]) {
                    RemoveFile(entry.keptCopy);
                    entry.keptCopy.clear();
                }
            }
        }
        FinishCopies(report, withSettings);
        return report;
    }
    report.error.clear();
    report.result = CardFormatResult::Formatted;
    const bool anything =
        std::any_of(report.files.begin(), report.files.end(),
                    [](const CardKeptFileReport& entry) { return entry.found; }) ||
        (withSettings && request.settingsFileAfterFormat);
    if (anything) {
        WriteBack(FilesAfterFormat(request.drive, target, m_setup.environment), files, contents,
                  request, report);
    }
    FinishCopies(report, withSettings);
    return report;
}

} // namespace viewer::appdlg
