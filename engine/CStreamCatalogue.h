#pragma once
// Finds the recorder's stream files on a card or in a folder and turns them into time-list
// entries: the file kind, the count, the card walk with companion files and record modes,
// the rebuild of a time index that does not match its files, and deleting entries' files.
// The manager drives it with its card path, name format, callbacks and channel 0's reader.

#include "engine/CTimeList.h"
#include "engine/FolderNames.h"
#include "engine/IArchFile.h"
#include "engine/ReplayCallback.h"
#include "util/naming/AviNameFormat.h"

#include <array>
#include <filesystem>
#include <string>
#include <vector>

class CStreamCatalogue {
public:
    static constexpr int kKindNone = -1;
    static constexpr int kKindAv2 = 6;
    static constexpr int kKindAvi = 7;

    explicit CStreamCatalogue(IArchFile& reader);

    void SetCallback(ReplayCallback callback, void* user);
    void SetProgressCallback(ReplayCallback callback, void* user);
    void SetNameFormat(const _AVI_NAME_FORMAT2& format) { m_format = format; }
    void SetDbPath(const std::string& path) { m_dbPath = path; }
    void SetLogPath(const std::string& path) { m_logPath = path; }
    void EnableRecovery(int enable) { m_recovery = enable; }

    int GetRecordMode() const { return m_kind; }
    void SetRecordMode(int kind) { m_kind = kind; }

    // Finds the kind under the card path; 1 when one was found.
    int CheckRecordMode();
    // 1 when `path` or a sub-folder within `depth` levels holds stream files.
    int IsAvailableDrive(const std::string& path, int depth);
    // Twice the number of stream files the walk would list.
    int TotalStreamFileCount();
    // The card walk; 0 when the kind is neither ".av2" nor ".avi", else 1.
    int procOpenList();
    // Deletes the files of the entries the viewer has selected; the index the current entry
    // will have afterwards, or -1.
    int DeleteSelectedFile(int searchType);

    // The folder index of a record-mode folder name (0 when none matches).
    int FolderIndex(const std::string& folderName) const;

private:
    int FindKind(const std::filesystem::path& folder, int depth, bool& inSubFolder) const;
    void Walk(const std::filesystem::path& folder, int depth, int& count, bool listing);
    void ListAvi(const std::filesystem::path& path, const naming::StreamFileName& name, int folderIndex,
                 const FolderNames& names);
    void ListAv2(const std::filesystem::path& path, std::uintmax_t size, int folderIndex);
    void AddCompanions(CTimeList& entry, const std::filesystem::path& folder, int fileNumber,
                       const FolderNames& names);
    std::string CompanionPattern(int channel, int fileNumber) const;
    bool ReadFileInfo(const std::string& path, _FILE_INFO* start, _FILE_INFO* end, int* bits, int* count);
    void RecoverTimeIndex();
    bool RebuildReadable(const std::string& path);
    void Send(unsigned code, std::intptr_t param, void* data);
    void Progress(unsigned code, void* data);
    int Ask(unsigned code, std::intptr_t param);

    IArchFile& m_reader;
    ReplayCallback m_callback = nullptr;
    void* m_user = nullptr;
    ReplayCallback m_progress = nullptr;
    void* m_progressUser = nullptr;
    _AVI_NAME_FORMAT2 m_format{};
    std::string m_dbPath;
    std::string m_logPath;
    int m_recovery = 0;
    int m_kind = kKindNone;
    std::array<std::string, 7> m_folders{"normal", "event", "parking", "manual", "", "", ""};
    std::vector<CTimeList> m_tooShort;    // ".av2" files of 15 bytes or less, during a walk
    std::vector<CTimeList> m_unreadable;  // ".av2" files that cannot be read, during a walk
    bool m_mismatch = false;
};
