#include "engine/CRecoverAvi.h"

#include "engine/RepairAviReader.h"
#include "platform/debug/DebugOut.h"
#include "platform/fs/DirectoryListing.h"
#include "util/CUtilLog.h"

#include <cstring>

CRecoverAvi::CRecoverAvi(const _AVI_NAME_FORMAT2& format, std::string logPath)
    : m_format(format), m_logPath(std::move(logPath)) {}

int CRecoverAvi::RepairFolder(const std::filesystem::path& folder, int folderMode) {
    int repaired = 0;
    for (const auto& entry : tachy::DirectoryListing::list(folder, "*.*")) {
        if (entry.isDirectory) {
            continue;
        }
        const std::string& name = entry.name;
        if (name.size() >= 3 && name.compare(name.size() - 3, 3, "avi") == 0 &&
            Repair(folder, name, folderMode)) {
            ++repaired;
        }
        if (name == "system_run") {
            std::error_code error;
            const bool removed = std::filesystem::remove(folder / "system_run", error);
            CUtilLog::WriteLog(m_logPath, removed ? "Deleted %s" : "Could not delete %s",
                               (folder / "system_run").c_str());
        }
    }
    return repaired;
}

bool CRecoverAvi::Repair(const std::filesystem::path& folder, const std::string& name, int folderMode) {
    naming::StreamFileName fields;
    int wanted = 0;
    // A name that lacks at most one field still counts as a finished recording's name.
    if (naming::ParseNameFields(m_format, name, fields, wanted) >= wanted - 1) {
        return false;
    }
    const std::filesystem::path path = folder / name;
    RepairAviReader reader;
    const int opened = reader.Open(path);
    if (opened != RepairAviReader::kNoError) {
        tachy::DebugOut::printf("%s: %s\n", "AVI RECIVERY FAIL :", RepairAviReader::Message(opened));
        if (opened >= RepairAviReader::kOpen && opened <= RepairAviReader::kClose) {
            char reason[256] = {};
            tachy::DebugOut::printf("REASON: %s\n", strerror_r(reader.LastErrno(), reason, sizeof reason));
        }
        CUtilLog::WriteLog(m_logPath, "Stream file %s cannot be recovered: %s", path.c_str(),
                           RepairAviReader::Message(opened));
        return false;
    }
    const int closed = reader.Close();
    if (closed != RepairAviReader::kNoError) {
        tachy::DebugOut::printf("%s: %s\n", "AVI RECIVERY FAIL :", RepairAviReader::Message(closed));
        CUtilLog::WriteLog(m_logPath, "Stream file %s: %s", path.c_str(), RepairAviReader::Message(closed));
        return false;
    }
    CUtilLog::WriteLog(m_logPath, "Recovered stream file %s (%zu chunks)", path.c_str(), reader.Index().size());
    if (reader.UnaccountedBytes() > 0) {
        CUtilLog::WriteLog(m_logPath, "Stream file %s: %llu bytes after the last whole chunk were kept unindexed",
                           path.c_str(), static_cast<unsigned long long>(reader.UnaccountedBytes()));
    }
    if (reader.Complete() || reader.StartMs() < 0) {
        return true;
    }
    const std::string target = naming::BuildName(
        m_format, folder.string(), fields.channel, fields.fileNumber, reader.StartMs() / 1000,
        static_cast<int>(reader.StartMs() % 1000), reader.EndMs() - reader.StartMs(),
        fields.recordMode >= 0 ? fields.recordMode : folderMode);
    Rename(path, target);
    return true;
}

void CRecoverAvi::Rename(const std::filesystem::path& path, const std::string& target) {
    std::error_code error;
    // Never replace a file that is already there.
    if (std::filesystem::exists(target, error)) {
        CUtilLog::WriteLog(m_logPath, "Stream file %s not renamed: %s exists", path.c_str(), target.c_str());
        return;
    }
    std::filesystem::rename(path, target, error);
    CUtilLog::WriteLog(m_logPath, error ? "Stream file %s could not be renamed to %s" : "Renamed %s to %s",
                       path.c_str(), target.c_str());
}
