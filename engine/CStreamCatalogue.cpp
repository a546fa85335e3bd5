#include "engine/CStreamCatalogue.h"

#include "engine/CRecoverAvi.h"
#include "engine/RepairAviReader.h"
#include "platform/fs/DirectoryListing.h"
#include "platform/text/CaseFold.h"
#include "util/CUtilLog.h"
#include "util/avi/CAviParser2.h"
#include "util/avi/ParsedAviFile.h"

#include <algorithm>

namespace {

constexpr const char* kExtensionAv2 = ".av2";
constexpr const char* kExtensionAvi = ".avi";

std::string lowerExtension(const std::string& name) {
    return name.size() < 4 ? std::string() : tachy::text::foldCase(name.substr(name.size() - 4));
}

// Deletes the first file the folder holds under that name, compared without regard to case.
void deleteOnDisk(const std::string& path) {
    if (path.empty()) {
        return;
    }
    const std::filesystem::path file(path);
    const auto found = tachy::DirectoryListing::list(file.parent_path(), file.filename().string());
    std::error_code error;
    for (const auto& entry : found) {
        if (!entry.isDirectory) {
            std::filesystem::remove(file.parent_path() / entry.name, error);
            return;
        }
    }
}

std::string zeroPadded(std::int64_t value, int width) {
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) < width) {
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    }
    return digits;
}

} // namespace

CStreamCatalogue::CStreamCatalogue(IArchFile& reader) : m_reader(reader) {}

void CStreamCatalogue::SetCallback(ReplayCallback callback, void* user) {
    m_callback = callback;
    m_user = user;
}

void CStreamCatalogue::SetProgressCallback(ReplayCallback callback, void* user) {
    m_progress = callback;
    m_progressUser = user;
}

void CStreamCatalogue::Send(unsigned code, std::intptr_t param, void* data) {
    if (m_callback != nullptr) {
        m_callback(code, param, data, m_user);
    }
}

// 112 and 122 go to the progress callback when there is one.
void CStreamCatalogue::Progress(unsigned code, void* data) {
    if (m_progress != nullptr) {
        m_progress(code, 0, data, m_progressUser);
    } else {
        Send(code, 0, data);
    }
}

int CStreamCatalogue::Ask(unsigned code, std::intptr_t param) {
    int answer = -1;
    Send(code, param, &answer);
    return answer;
}

int CStreamCatalogue::FolderIndex(const std::string& folderName) const {
    for (std::size_t i = 0; i < m_folders.size(); ++i) {
        if (!m_folders[i].empty() && tachy::text::equalsIgnoreCase(m_folders[i], folderName)) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

int CStreamCatalogue::FindKind(const std::filesystem::path& folder, int depth, bool& inSubFolder) const {
    if (!tachy::DirectoryListing::list(folder, std::string("*") + kExtensionAv2).empty()) {
        return kKindAv2;
    }
    if (!tachy::DirectoryListing::list(folder, std::string("*") + kExtensionAvi).empty()) {
        return kKindAvi;
    }
    if (depth <= 0) {
        return kKindNone;
    }
    for (const auto& entry : tachy::DirectoryListing::list(folder, "*.*")) {
        if (!entry.isDirectory) {
            continue;
        }
        const int kind = FindKind(folder / entry.name, depth - 1, inSubFolder);
        if (kind != kKindNone) {
            inSubFolder = true;
            return kind;
        }
    }
    return kKindNone;
}

int CStreamCatalogue::CheckRecordMode() {
    bool inSubFolder = false;
    m_kind = FindKind(m_dbPath, m_format.nSearchDepth, inSubFolder);
    return m_kind != kKindNone ? 1 : 0;
}

int CStreamCatalogue::IsAvailableDrive(const std::string& path, int depth) {
    bool inSubFolder = false;
    const int kind = FindKind(path, depth, inSubFolder);
    if (kind == kKindNone) {
        return 0;
    }
    // Files found below the given folder also set the kind, as CheckRecordMode would.
    if (inSubFolder) {
        m_kind = kind;
    }
    return 1;
}

int CStreamCatalogue::TotalStreamFileCount() {
    int count = 0;
    Walk(m_dbPath, m_format.nSearchDepth, count, false);
    return count * 2;
}

int CStreamCatalogue::procOpenList() {
    if (m_kind != kKindAv2 && m_kind != kKindAvi) {
        return 0;
    }
    m_tooShort.clear();
    m_unreadable.clear();
    m_mismatch = false;
    int count = 0;
    Walk(m_dbPath, m_format.nSearchDepth, count, true);
    if (m_mismatch) {
        CUtilLog::WriteLog(m_logPath, "Detected that time indexes are not matched with stream files");
        if (Ask(replay::kTimeIndexMismatch, 0) > 0) {
            RecoverTimeIndex();
        }
    }
    m_tooShort.clear();
    m_unreadable.clear();
    return 1;
}

void CStreamCatalogue::Walk(const std::filesystem::path& folder, int depth, int& count, bool listing) {
    const int folderIndex = FolderIndex(folder.filename().string());
    if (listing && m_recovery != 0) {
        CRecoverAvi(m_format, m_logPath).RepairFolder(folder, folderIndex);
    }
    const auto entries = tachy::DirectoryListing::list(folder, "*.*");
    const FolderNames names(entries);
    for (const auto& entry : entries) {
        const std::filesystem::path path = folder / entry.name;
        if (entry.isDirectory) {
            if (depth > 0) {
                Walk(path, depth - 1, count, listing);
            }
            continue;
        }
        naming::StreamFileName name;
        if (m_kind == kKindAvi && (!naming::ParseName(m_format, entry.name, name) || name.channel != 0)) {
            continue;
        }
        if (lowerExtension(entry.name) != (m_kind == kKindAv2 ? kExtensionAv2 : kExtensionAvi)) {
            continue;
        }
        // The count picks the naming rule: an ".av2" file counts, as an ".avi" file does, only
        // when its name follows the rule. The walk still lists it (an unparsed name goes to the
        // unreadable files, where it is never deleted).
        if (!listing) {
            count += m_kind == kKindAvi || naming::ParseName(m_format, entry.name, name) ? 1 : 0;
            continue;
        }
        ++count;
        if (m_kind == kKindAvi) {
            ListAvi(path, name, folderIndex, names);
        } else {
            ListAv2(path, entry.size, folderIndex);
        }
    }
}

bool CStreamCatalogue::ReadFileInfo(const std::string& path, _FILE_INFO* start, _FILE_INFO* end,
                                    int* bits, int* count) {
    if (m_reader.GetFileInfo(path, start, end, bits, count) > 0) {
        return true;
    }
    std::string announced = path;
    Send(replay::kUnreadableFile, 0, announced.data());
    return m_reader.GetFileInfo(path, start, end, bits, count) > 0;
}

void CStreamCatalogue::ListAvi(const std::filesystem::path& path, const naming::StreamFileName& name,
                               int folderIndex, const FolderNames& names) {
    Progress(replay::kProgress, nullptr);
    _FILE_INFO start[3] = {};
    _FILE_INFO end[3] = {};
    int bits = 0;
    int channels = 0;
    if (!ReadFileInfo(path.string(), start, end, &bits, &channels)) {
        return;
    }
    std::error_code error;
    const auto size = static_cast<std::int32_t>(std::filesystem::file_size(path, error) & 0xFFFFFFFFU);
    const int mode = name.recordMode >= 0 ? name.recordMode : folderIndex;
    CTimeList entry;
    const int fileChannels = std::max(1, std::min(name.channelCount, CTimeList::kChannels));
    for (int c = 0; c < fileChannels; ++c) {
        const auto i = static_cast<std::size_t>(c);
        entry.SetStart(c, static_cast<std::int64_t>(start[0].dwSecond) * 1000 + start[0].dwMillisecond);
        entry.SetEnd(c, static_cast<std::int64_t>(end[0].dwSecond) * 1000 + end[0].dwMillisecond);
        entry.m_nRecordMode[i] = mode;
        entry.m_nRecordModeBits[i] = RecordModeBits(mode);
        entry.m_nFirstFileNumber[i] = entry.m_nLastFileNumber[i] = entry.m_nCurrentFileNumber[i] = name.fileNumber;
        entry.m_nFileSize[i] = size;
        entry.m_fileList[i].push_back(path.string());
    }
    entry.m_nChannelCount = fileChannels;
    // Without a channel number in the names there is no way to tell a companion file from
    // this one: a pattern would find the file itself and show it on every channel.
    if (name.channelCount < 2 && m_format.items[naming::kChannel].bUse != 0) {
        AddCompanions(entry, path.parent_path(), name.fileNumber, names);
    }
    Progress(replay::kTimeListEntry, &entry);
    Progress(replay::kProgress, nullptr);
}

std::string CStreamCatalogue::CompanionPattern(int channel, int fileNumber) const {
    const auto& items = m_format.items;
    bool prefixPlaced = items[naming::kPrefix].bUse == 0;
    bool channelPlaced = items[naming::kChannel].bUse == 0;
    bool numberPlaced = items[naming::kFileNumber].bUse == 0;
    std::string pattern;
    for (int position = 0; position < naming::kComponentCount; ++position) {
        if (prefixPlaced && channelPlaced && numberPlaced) {
            break;
        }
        int k = -1;
        for (int i = 0; i < naming::kComponentCount; ++i) {
            k = items[i].nOrder == position ? i : k;
        }
        if (k < 0 || items[k].bUse == 0) {
            continue;
        }
        if (k == naming::kPrefix) {
            pattern += naming::ItemText(items[k]);
            prefixPlaced = true;
        } else if (k == naming::kChannel) {
            pattern += zeroPadded(items[k].nInfo + channel, items[k].nLength);
            channelPlaced = true;
        } else if (k == naming::kFileNumber) {
            pattern += zeroPadded(fileNumber, items[k].nLength);
            numberPlaced = true;
        } else {
            pattern += "*";
        }
        if (items[k].bBar != 0) {
            pattern += "_";
        }
    }
    return pattern + "*" + kExtensionAvi;
}

void CStreamCatalogue::AddCompanions(CTimeList& entry, const std::filesystem::path& folder, int fileNumber,
                                     const FolderNames& names) {
    for (int channel = 1; channel < CTimeList::kChannels; ++channel) {
        const tachy::DirectoryListing::Entry* file = names.FindFirst(CompanionPattern(channel, fileNumber));
        if (file == nullptr) {
            continue;
        }
        const std::filesystem::path path = folder / file->name;
        _FILE_INFO start[3] = {};
        _FILE_INFO end[3] = {};
        int bits = 0;
        int channels = 0;
        if (m_reader.GetFileInfo(path.string(), start, end, &bits, &channels) <= 0) {
            continue;
        }
        const auto c = static_cast<std::size_t>(channel);
        entry.SetStart(channel, static_cast<std::int64_t>(start[0].dwSecond) * 1000 + start[0].dwMillisecond);
        entry.SetEnd(channel, static_cast<std::int64_t>(end[0].dwSecond) * 1000 + end[0].dwMillisecond);
        entry.m_nRecordMode[c] = entry.m_nRecordMode[0];
        entry.m_nRecordModeBits[c] = entry.m_nRecordModeBits[0];
        entry.m_nFileSize[c] = static_cast<std::int32_t>(file->size & 0xFFFFFFFFU);
        entry.m_nFirstFileNumber[c] = entry.m_nLastFileNumber[c] = entry.m_nCurrentFileNumber[c] = fileNumber;
        const auto number = static_cast<std::int32_t>(start[0].dwFileNumber);
        if (number >= entry.m_nFirstFileNumber[0] && number <= entry.m_nLastFileNumber[0]) {
            entry.m_fileList[c].push_back(path.string());
        }
        entry.m_nChannelCount = std::max(entry.m_nChannelCount, channel + 1);
    }
}

void CStreamCatalogue::ListAv2(const std::filesystem::path& path, std::uintmax_t size, int folderIndex) {
    Progress(replay::kProgress, nullptr);
    CTimeList entry;
    const auto fileSize = static_cast<std::int32_t>(size & 0xFFFFFFFFU);
    if (size <= 15) {
        for (int c = 0; c < CTimeList::kChannels; ++c) {
            entry.m_nState[static_cast<std::size_t>(c)] = CTimeList::kTooShort;
        }
        entry.m_fileList[0].push_back(path.string());
        entry.m_nFileSize[0] = fileSize;
        m_tooShort.push_back(entry);
        m_mismatch = true;
        return;
    }
    naming::StreamFileName name;
    const bool named = naming::ParseName(m_format, path.filename().string(), name);
    _FILE_INFO start[3] = {};
    _FILE_INFO end[3] = {};
    int bits = 0;
    int channels = 0;
    if (!ReadFileInfo(path.string(), start, end, &bits, &channels)) {
        for (int c = 0; c < CTimeList::kChannels; ++c) {
            const auto i = static_cast<std::size_t>(c);
            entry.m_nState[i] = CTimeList::kUnreadable;
            entry.m_nFirstFileNumber[i] = entry.m_nCurrentFileNumber[i] = entry.m_nLastFileNumber[i] =
                named ? name.fileNumber : 0;
            entry.m_nRecordMode[i] = named ? name.recordMode : -1;
        }
        entry.m_fileList[0].push_back(path.string());
        entry.m_nFileSize[0] = fileSize;
        m_unreadable.push_back(entry);
        m_mismatch = true;
        return;
    }
    // The channels the file holds are its video streams, read from the headers alone.
    int held = 0;
    for (const auto& header : util::ParsedAviFile::quickStreamHeaders(path)) {
        held += header.fccType == tachy::avi::kVids && held < CTimeList::kChannels ? 1 : 0;
    }
    const int mode = named && name.recordMode >= 0 ? name.recordMode : folderIndex;
    for (int c = 0; c < std::max(held, 1); ++c) {
        const auto i = static_cast<std::size_t>(c);
        entry.SetStart(c, static_cast<std::int64_t>(start[0].dwSecond) * 1000 + start[0].dwMillisecond);
        entry.SetEnd(c, static_cast<std::int64_t>(end[0].dwSecond) * 1000 + end[0].dwMillisecond);
        entry.m_nRecordMode[i] = mode;
        entry.m_nRecordModeBits[i] = RecordModeBits(mode);
        entry.m_nFirstFileNumber[i] = entry.m_nLastFileNumber[i] = entry.m_nCurrentFileNumber[i] =
            static_cast<std::int32_t>(start[0].dwFileNumber);
        entry.m_fileList[i].push_back(path.string());
        entry.m_nFileSize[i] = fileSize;
    }
    entry.m_nChannelCount = std::max(held, 1);
    Progress(replay::kTimeListEntry, &entry);
    Progress(replay::kProgress, nullptr);
}

void CStreamCatalogue::RecoverTimeIndex() {
    const std::string rule(78, '=');
    CUtilLog::WriteLog(m_logPath, "%s", rule.c_str());
    CUtilLog::WriteLog(m_logPath, "Recover time index files");
    if (!m_tooShort.empty()) {
        CUtilLog::WriteLog(m_logPath, "> Delete unavailable files");
        for (const CTimeList& entry : m_tooShort) {
            Progress(replay::kProgress, nullptr);
            const std::string path = entry.CurrentPath(0);
            CUtilLog::WriteLog(m_logPath, ">> Delete Stream File : %s", path.c_str());
            deleteOnDisk(path);
        }
    }
    if (!m_unreadable.empty()) {
        CUtilLog::WriteLog(m_logPath, "> Recover time index files using stream file");
        for (const CTimeList& entry : m_unreadable) {
            Progress(replay::kProgress, nullptr);
            if (entry.m_nRecordMode[0] == -1) {
                continue;
            }
            const std::string path = entry.CurrentPath(0);
            if (RebuildReadable(path)) {
                continue;
            }
            CUtilLog::WriteLog(m_logPath, ">> Rebuild Time Index of %s : state = failed and delete stream file",
                               path.c_str());
            deleteOnDisk(path);
        }
    }
    CUtilLog::WriteLog(m_logPath, "%s", rule.c_str());
}

// The quick header read that found the file unreadable looks at the stream headers only; a
// damaged header field there does not make the recording unreadable. Only a file that the
// recording parser cannot open in full is deleted. One it opens keeps its bytes; when its index
// is valid, the stream lengths in its headers are written again from the index, so that the
// next walk lists it.
bool CStreamCatalogue::RebuildReadable(const std::string& path) {
    CAviParser2 parser;
    const bool readable = parser.OpenStream(path, 0) == 1 && parser.OpenVideoStream(0) == 1 &&
                          parser.GetVideoLength() > 0;
    parser.CloseStream();
    if (!readable) {
        return false;
    }
    RepairAviReader reader;
    const bool mended = reader.Open(path) == RepairAviReader::kNoError && reader.Complete() &&
                        reader.Close() == RepairAviReader::kNoError;
    CUtilLog::WriteLog(m_logPath, ">> Rebuild Time Index of %s : state = %s", path.c_str(),
                       mended ? "success, stream lengths written from the index"
                              : "kept, the recording parser reads it");
    return true;
}

int CStreamCatalogue::DeleteSelectedFile(int searchType) {
    if (m_callback == nullptr) {
        return -1;
    }
    m_reader.CloseFile();
    const unsigned offset = searchType != 0 ? replay::kSecondListOffset : 0;
    const int current = Ask(replay::kCurrentEntry + offset, 0);
    int selected = Ask(replay::kFirstSelected + offset, 0);
    if (selected < 0) {
        return -1;
    }
    int result = current;
    while (selected >= 0) {
        if (selected < current) {
            --result;
        }
        CTimeList entry;
        Send(replay::kGetEntry + offset, selected, &entry);
        if (m_kind == kKindAv2) {
            deleteOnDisk(entry.CurrentPath(0));
        } else if (m_kind == 4 || m_kind == 5 || m_kind == kKindAvi) {
            for (int c = 0; c < CTimeList::kChannels; ++c) {
                deleteOnDisk(entry.CurrentPath(c));
            }
        }
        selected = Ask(replay::kNextSelected + offset, selected);
    }
    return result;
}
