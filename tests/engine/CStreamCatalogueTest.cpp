#include "engine/CArchiveAvi.h"
#include "engine/CStreamCatalogue.h"
#include "engine/UnreadableFileReport.h"

#include "tests/support/Command.h"
#include "tests/support/TempFolder.h"
#include "platform/fs/DirectoryListing.h"
#include "tools/mkcard/CardGenerator.h"

#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <regex>

using tachy::test::readAll;
using tachy::test::TempFolder;

namespace {

constexpr std::int64_t kStartMs = 1709211909000LL;

// Plays the viewer: keeps the entries it is given, answers questions from a table.
struct Viewer {
    std::vector<unsigned> codes;
    std::vector<CTimeList> entries;
    std::vector<std::string> unreadable;
    std::map<unsigned, std::vector<int>> answers;  // code -> answers in turn

    static void callback(unsigned code, std::intptr_t param, void* data, void* user) {
        auto& viewer = *static_cast<Viewer*>(user);
        viewer.codes.push_back(code);
        if (code == replay::kTimeListEntry) {
            viewer.entries.push_back(*static_cast<CTimeList*>(data));
        } else if (code == replay::kUnreadableFile) {
            viewer.unreadable.emplace_back(static_cast<const char*>(data));
        } else if (code == replay::kGetEntry) {
            *static_cast<CTimeList*>(data) = viewer.entries.at(static_cast<std::size_t>(param));
        } else if (auto answer = viewer.answers.find(code); answer != viewer.answers.end()) {
            auto& queue = answer->second;
            *static_cast<int*>(data) = queue.empty() ? -1 : queue.front();
            if (!queue.empty()) {
                queue.erase(queue.begin());
            }
        }
    }
    int count(unsigned code) const { return static_cast<int>(std::count(codes.begin(), codes.end(), code)); }
};

// Video packets libavformat reads from the file; 0 when it cannot read it.
int packetsLibavformatReads(const std::filesystem::path& path) {
    const std::string out = tachy::test::runCommand(
        "ffprobe -v error -count_packets -select_streams v:0 -show_entries stream=nb_read_packets -of csv=p=0 '" +
        path.string() + "' 2>/dev/null");
    return std::atoi(out.c_str());
}

// Zeroes the length field of every stream header in the file.
void zeroStreamLengths(const std::filesystem::path& path) {
    std::string bytes = readAll(path);
    const std::size_t lengthOffset = 8 + 32;  // chunk header, then fccType ... dwStart
    for (std::size_t at = bytes.find("strh"); at != std::string::npos && at < bytes.find("movi");
         at = bytes.find("strh", at + 1)) {
        std::memset(bytes.data() + at + lengthOffset, 0, 4);
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

class Catalogue : public testing::Test {
protected:
    void makeCard(const std::string& rule, std::vector<std::string> arguments = {}) {
        mkcard::CardOptions options;
        options.rule = std::string(TACHY_DATA_DIR) + "/_option/" + rule;
        options.out = m_card;
        options.width = 32;
        options.height = 32;
        options.audio = mkcard::CardOptions::Audio::None;
        options.channels = 3;
        options.seconds = 5;
        options.periodSeconds = 2;
        options.modes = {"normal", "event"};
        arguments.insert(arguments.begin(), "mkcard");
        std::vector<char*> argv;
        for (auto& argument : arguments) {
            argv.push_back(argument.data());
        }
        std::string error;
        ASSERT_TRUE(mkcard::parseArguments(static_cast<int>(argv.size()), argv.data(), options, error) ||
                    error == "--rule and --out are required") << error;
        options.rule = std::string(TACHY_DATA_DIR) + "/_option/" + rule;
        options.out = m_card;
        ASSERT_TRUE(mkcard::generateCard(options, error)) << error;
        useRule(rule);
    }
    void useRule(const std::string& rule) {
        const auto format = naming::ReadNameFormat(std::string(TACHY_DATA_DIR) + "/_option/" + rule, 2);
        m_reader.SetNameFormat(format);
        m_catalogue.SetNameFormat(format);
        m_catalogue.SetDbPath(m_card.string());
        m_catalogue.SetLogPath(m_logs.path().string());
        m_catalogue.SetCallback(&Viewer::callback, &m_viewer);
    }
    std::string log() const {
        const auto files = std::filesystem::directory_iterator(m_logs.path());
        return files == std::filesystem::directory_iterator() ? std::string() : readAll(files->path());
    }

    TempFolder m_folder;
    TempFolder m_logs;
    std::filesystem::path m_card = m_folder.path() / "card";
    CArchiveAvi m_reader;
    CStreamCatalogue m_catalogue{m_reader};
    Viewer m_viewer;
};

} // namespace

TEST_F(Catalogue, WalkGivesThePeriodsTheGeneratorWrote) {
    makeCard("FileNameRule_A.ini");
    ASSERT_EQ(m_catalogue.CheckRecordMode(), 1);
    EXPECT_EQ(m_catalogue.GetRecordMode(), CStreamCatalogue::kKindAvi);
    EXPECT_EQ(m_catalogue.TotalStreamFileCount(), 6);  // three periods, counted twice
    ASSERT_EQ(m_catalogue.procOpenList(), 1);
    // Periods of 2, 2 and 1 s, alternately in "normal" and "event"; listed folder by folder.
    ASSERT_EQ(m_viewer.entries.size(), 3U);
    EXPECT_EQ(m_viewer.count(replay::kProgress), 6);
    const struct { int file; int mode; std::int64_t start; std::int64_t end; } expected[] = {
        {2, 1, kStartMs + 2000, kStartMs + 4000},
        {1, 0, kStartMs, kStartMs + 2000},
        {3, 0, kStartMs + 4000, kStartMs + 5000},
    };
    for (std::size_t i = 0; i < 3; ++i) {
        const CTimeList& entry = m_viewer.entries[i];
        EXPECT_EQ(entry.m_nChannelCount, 3);
        for (int c = 0; c < 3; ++c) {
            const auto k = static_cast<std::size_t>(c);
            EXPECT_EQ(entry.m_llStartTime[k], expected[i].start) << i << "/" << c;
            EXPECT_EQ(entry.m_llEndTime[k], expected[i].end) << i << "/" << c;
            EXPECT_EQ(entry.m_nRecordMode[k], expected[i].mode);
            EXPECT_EQ(entry.m_nRecordModeBits[k], expected[i].mode == 1 ? 1 : 0);
            EXPECT_EQ(entry.m_nFirstFileNumber[k], expected[i].file);
            const std::string path = entry.CurrentPath(c);
            EXPECT_TRUE(std::regex_search(path, std::regex("_" + std::to_string(c + 1) + "\\.avi$"))) << path;
            EXPECT_EQ(entry.m_nFileSize[k], static_cast<std::int32_t>(std::filesystem::file_size(path)));
        }
    }
}

TEST_F(Catalogue, WalkAgreesWithTheGeneratorsManifest) {
    makeCard("FileNameRule_B.ini", {"--channels", "2", "--seconds", "7", "--period", "3",
                                    "--modes", "event,normal,parking"});
    ASSERT_EQ(m_catalogue.CheckRecordMode(), 1);
    ASSERT_EQ(m_catalogue.procOpenList(), 1);
    const std::string manifest = readAll(m_card / "manifest.json");
    const std::regex file(R"re("path": "([^"]+)", "channel": (\d+), "fileNumber": (\d+), "mode": (\d+), )re"
                          R"re("startMs": (\d+), "frames": \d+, "durationMs": (\d+))re");
    int files = 0;
    for (auto it = std::sregex_iterator(manifest.begin(), manifest.end(), file); it != std::sregex_iterator(); ++it) {
        const auto& match = *it;
        const int channel = std::stoi(match[2]);
        const int number = std::stoi(match[3]);
        const auto entry = std::find_if(m_viewer.entries.begin(), m_viewer.entries.end(),
                                        [&](const CTimeList& e) { return e.m_nFirstFileNumber[0] == number; });
        ASSERT_NE(entry, m_viewer.entries.end()) << match[1];
        const auto c = static_cast<std::size_t>(channel);
        EXPECT_EQ(entry->CurrentPath(channel), (m_card / match[1].str()).string());
        EXPECT_EQ(entry->m_nRecordMode[c], std::stoi(match[4]));
        EXPECT_EQ(entry->m_llStartTime[c], std::stoll(match[5]));
        EXPECT_EQ(entry->m_llEndTime[c], std::stoll(match[5]) + std::stoll(match[6]));
        EXPECT_EQ(entry->m_nChannelCount, 2);
        ++files;
    }
    EXPECT_EQ(files, 6);  // three periods of two channels
    EXPECT_EQ(m_viewer.entries.size(), 3U);
}

TEST_F(Catalogue, KindIsFoundWithinTheSearchDepth) {
    makeCard("FileNameRule_A.ini", {"--channels", "1"});
    EXPECT_EQ(m_catalogue.IsAvailableDrive(m_card.string(), 0), 0);  // files lie one level down
    EXPECT_EQ(m_catalogue.GetRecordMode(), CStreamCatalogue::kKindNone);
    EXPECT_EQ(m_catalogue.IsAvailableDrive((m_card / "normal").string(), 0), 1);
    EXPECT_EQ(m_catalogue.GetRecordMode(), CStreamCatalogue::kKindNone);  // found in the folder itself
    EXPECT_EQ(m_catalogue.IsAvailableDrive(m_card.string(), 1), 1);
    EXPECT_EQ(m_catalogue.GetRecordMode(), CStreamCatalogue::kKindAvi);
    // A card with both kinds is an ".av2" card.
    std::ofstream(m_card / "event" / "x.AV2") << "0123456789012345";
    EXPECT_EQ(m_catalogue.CheckRecordMode(), 1);
    EXPECT_EQ(m_catalogue.GetRecordMode(), CStreamCatalogue::kKindAv2);
    m_catalogue.SetDbPath((m_folder.path() / "nothing").string());
    EXPECT_EQ(m_catalogue.CheckRecordMode(), 0);
    EXPECT_EQ(m_catalogue.procOpenList(), 0);
}

TEST_F(Catalogue, NamesThatDoNotParseAndFilesThatCannotBeReadAreSkipped) {
    makeCard("FileNameRule_A.ini", {"--channels", "1", "--damage", "badname,system_run"});
    // A code outside the mode table: the mode comes from the folder.
    std::filesystem::copy_file(m_card / "event" / "TCY_0002_20240229_130511_E_1.avi",
                               m_card / "event" / "TCY_0009_20240229_130611_X_1.avi");
    // A readable name on a file that is not a recording.
    std::ofstream(m_card / "normal" / "TCY_0008_20240229_130611_N_1.avi") << std::string(400, 'x');
    ASSERT_EQ(m_catalogue.CheckRecordMode(), 1);
    EXPECT_EQ(m_catalogue.TotalStreamFileCount(), 10);  // 3 periods + the copy + the non-recording
    ASSERT_EQ(m_catalogue.procOpenList(), 1);
    ASSERT_EQ(m_viewer.entries.size(), 4U);
    EXPECT_EQ(m_viewer.entries[1].m_nFirstFileNumber[0], 9);
    EXPECT_EQ(m_viewer.entries[1].m_nRecordMode[0], 1);
    ASSERT_EQ(m_viewer.unreadable.size(), 1U);  // announced once, then tried once more
    EXPECT_NE(m_viewer.unreadable[0].find("TCY_0008"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(m_card / "normal" / "not_a_recording.avi"));
}

TEST_F(Catalogue, ChannelComponentDisabledMakesEveryFileChannelZero) {
    makeCard("FileNameRule_C.ini", {"--channels", "1"});
    ASSERT_EQ(m_catalogue.CheckRecordMode(), 1);
    ASSERT_EQ(m_catalogue.procOpenList(), 1);
    ASSERT_EQ(m_viewer.entries.size(), 3U);
    EXPECT_EQ(m_viewer.entries[0].m_nChannelCount, 1);
    EXPECT_EQ(m_viewer.entries[0].CurrentPath(1), "");
}

TEST_F(Catalogue, Av2CardListsEveryChannelAndRebuildsAfterTheViewerAgrees) {
    makeCard("FileNameRule_C.ini", {"--av2", "--channels", "2", "--damage", "tiny"});
    std::filesystem::path tiny;
    for (const auto& entry : std::filesystem::directory_iterator(m_card / "normal")) {
        tiny = entry.file_size() == 15 ? entry.path() : tiny;
    }
    ASSERT_FALSE(tiny.empty());
    std::ofstream(m_card / "normal" / "CARDV_20240229_130514_00005_N_D.av2") << std::string(16, 'x');
    ASSERT_EQ(m_catalogue.CheckRecordMode(), 1);
    EXPECT_EQ(m_catalogue.GetRecordMode(), CStreamCatalogue::kKindAv2);

    m_viewer.answers[replay::kTimeIndexMismatch] = {0};  // the viewer says no
    ASSERT_EQ(m_catalogue.procOpenList(), 1);
    ASSERT_EQ(m_viewer.entries.size(), 3U);
    EXPECT_EQ(m_viewer.entries[0].m_nChannelCount, 2);
    EXPECT_EQ(m_viewer.entries[0].CurrentPath(1), m_viewer.entries[0].CurrentPath(0));
    EXPECT_EQ(m_viewer.entries[0].m_llEndTime[1] - m_viewer.entries[0].m_llStartTime[1], 2000);
    EXPECT_EQ(m_viewer.count(replay::kTimeIndexMismatch), 1);
    EXPECT_TRUE(std::filesystem::exists(tiny));
    EXPECT_NE(log().find("Detected that time indexes are not matched with stream files"), std::string::npos);

    m_viewer = Viewer();
    m_viewer.answers[replay::kTimeIndexMismatch] = {1};
    ASSERT_EQ(m_catalogue.procOpenList(), 1);
    EXPECT_FALSE(std::filesystem::exists(tiny));
    EXPECT_FALSE(std::filesystem::exists(m_card / "normal" / "CARDV_20240229_130514_00005_N_D.av2"));
    const std::string text = log();
    const std::string rule(78, '=');
    for (const std::string& line :
         {rule, std::string("Recover time index files"), std::string("> Delete unavailable files"),
          ">> Delete Stream File : " + tiny.string(), std::string("> Recover time index files using stream file"),
          ">> Rebuild Time Index of " + (m_card / "normal" / "CARDV_20240229_130514_00005_N_D.av2").string() +
              " : state = failed and delete stream file"}) {
        EXPECT_NE(text.find(" : " + line + "\r\n"), std::string::npos) << line;
    }
    EXPECT_EQ(m_viewer.entries.size(), 3U);
}

TEST_F(Catalogue, DeletesTheSelectedEntriesFiles) {
    makeCard("FileNameRule_A.ini");
    ASSERT_EQ(m_catalogue.CheckRecordMode(), 1);
    ASSERT_EQ(m_catalogue.procOpenList(), 1);
    ASSERT_EQ(m_viewer.entries.size(), 3U);
    const auto kept = m_viewer.entries[1];
    const auto gone = m_viewer.entries;
    EXPECT_EQ(m_catalogue.DeleteSelectedFile(0), -1);  // no selection
    m_viewer.answers[replay::kCurrentEntry] = {2};
    m_viewer.answers[replay::kFirstSelected] = {0};
    m_viewer.answers[replay::kNextSelected] = {2, -1};
    EXPECT_EQ(m_catalogue.DeleteSelectedFile(0), 1);  // the current entry moves up by one
    for (int c = 0; c < 3; ++c) {
        EXPECT_FALSE(std::filesystem::exists(gone[0].CurrentPath(c)));
        EXPECT_FALSE(std::filesystem::exists(gone[2].CurrentPath(c)));
        EXPECT_TRUE(std::filesystem::exists(kept.CurrentPath(c)));
    }
    CStreamCatalogue silent(m_reader);
    EXPECT_EQ(silent.DeleteSelectedFile(0), -1);  // without a callback
}

TEST(CTimeList, FreshEntryAndCurrentPath) {
    CTimeList entry;
    EXPECT_EQ(entry.m_nChannel[2], 2);
    EXPECT_EQ(entry.m_llStartTime[0], 0);
    EXPECT_EQ(entry.CurrentPath(0), "");
    entry.m_fileList[1] = {"/a", "/b"};
    entry.m_nFirstFileNumber[1] = 5;
    entry.m_nCurrentFileNumber[1] = 6;
    EXPECT_EQ(entry.CurrentPath(1), "/b");
    entry.m_nCurrentFileNumber[1] = 7;
    EXPECT_EQ(entry.CurrentPath(1), "");
    const CTimeList copy = entry;
    EXPECT_EQ(copy.m_fileList[1].size(), 2U);
    EXPECT_EQ(RecordModeBits(3), 4);
    EXPECT_EQ(RecordModeBits(-1), 0);
}

TEST(FolderNames, FindsTheFirstMatchingFileWithOrWithoutALiteralStart) {
    const std::vector<tachy::DirectoryListing::Entry> entries = {
        {"a_1_x.avi", false, 1}, {"TCY_0001_B_2.avi", false, 1}, {"tcy_0001_a_2.AVI", false, 1},
        {"TCY_0001_c_2.avi", true, 0}, {"TCY_0002_a_2.avi", false, 1}};
    const FolderNames names(entries);
    const auto* found = names.FindFirst("TCY_0001_*_2*.avi");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->name, "TCY_0001_B_2.avi");  // listing order, not folded order
    found = names.FindFirst("*_0002_*.avi");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->name, "TCY_0002_a_2.avi");
    EXPECT_EQ(names.FindFirst("TCY_0001_c*"), nullptr);  // folders are not files
    EXPECT_EQ(names.FindFirst("zzz*"), nullptr);
}

TEST_F(Catalogue, Av2FilesWithZeroedHeaderLengthsThatCanBeReadAreKept) {
    makeCard("FileNameRule_A.ini", {"--av2", "--channels", "2", "--seconds", "6"});
    std::vector<std::filesystem::path> files;
    for (const char* folder : {"event", "normal"}) {
        for (const auto& entry : tachy::DirectoryListing::list(m_card / folder, "*.av2")) {
            files.push_back(m_card / folder / entry.name);
        }
    }
    ASSERT_EQ(files.size(), 3U);
    for (const auto& file : files) {
        zeroStreamLengths(file);
    }
    // One file is really broken: everything after the RIFF header is gone.
    {
        std::string bytes = readAll(files[1]);
        std::memset(bytes.data() + 12, 0, bytes.size() - 12);
        std::ofstream(files[1], std::ios::binary | std::ios::trunc) << bytes;
    }
    std::vector<bool> readable;
    for (const auto& file : files) {
        readable.push_back(packetsLibavformatReads(file) > 0);
    }
    ASSERT_EQ(readable, (std::vector<bool>{true, false, true}));

    m_viewer.answers[replay::kTimeIndexMismatch] = {1};
    ASSERT_EQ(m_catalogue.CheckRecordMode(), 1);
    ASSERT_EQ(m_catalogue.procOpenList(), 1);
    EXPECT_EQ(m_viewer.count(replay::kTimeIndexMismatch), 1);
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(std::filesystem::exists(files[i]), readable[i]) << files[i];
        if (readable[i]) {
            EXPECT_GT(packetsLibavformatReads(files[i]), 0) << files[i];
        }
    }
    const std::string text = log();
    EXPECT_NE(text.find(">> Rebuild Time Index of " + files[0].string() + " : state = success"), std::string::npos);
    EXPECT_NE(text.find(">> Rebuild Time Index of " + files[1].string() + " : state = failed and delete stream file"),
              std::string::npos);

    // With their lengths written again the kept files are listed by the next walk.
    m_viewer = Viewer();
    ASSERT_EQ(m_catalogue.procOpenList(), 1);
    EXPECT_EQ(m_viewer.entries.size(), 2U);
    EXPECT_EQ(m_viewer.count(replay::kTimeIndexMismatch), 0);
}

TEST_F(Catalogue, Av2CountOnlyHoldsNamesThatFollowTheRule) {
    makeCard("FileNameRule_C.ini", {"--av2"});
    useRule("FileNameRule_A.ini");
    ASSERT_EQ(m_catalogue.CheckRecordMode(), 1);
    EXPECT_EQ(m_catalogue.TotalStreamFileCount(), 0);
    useRule("FileNameRule_C.ini");
    EXPECT_EQ(m_catalogue.TotalStreamFileCount(), 6);
}

TEST_F(Catalogue, ReportNamesEveryFileThatCannotBeListedAndWhy) {
    makeCard("FileNameRule_A.ini", {"--channels", "1"});
    std::vector<_AVI_NAME_FORMAT2> rules;
    for (const char* rule : {"FileNameRule_A.ini", "FileNameRule_B.ini"}) {
        rules.push_back(naming::ReadNameFormat(std::string(TACHY_DATA_DIR) + "/_option/" + rule, 2));
    }
    EXPECT_TRUE(UnreadableFileReport(m_card, rules).Files().empty());  // all of them play
    const auto files = tachy::DirectoryListing::list(m_card / "normal", "*.avi");
    ASSERT_GE(files.size(), 2U);
    const auto shortFile = m_card / "normal" / files[0].name;
    std::filesystem::resize_file(shortFile, 100);
    const auto noise = m_card / "normal" / files[1].name;
    std::ofstream(noise, std::ios::binary | std::ios::trunc) << std::string(4000, 'z');
    const auto stray = m_card / "event" / "holiday.avi";
    std::filesystem::copy_file(m_card / "event" / tachy::DirectoryListing::list(m_card / "event", "*.avi")[0].name,
                               stray);
    const UnreadableFileReport report(m_card, rules);
    const std::string text = report.Text(10);
    EXPECT_EQ(report.Files().size(), 3U) << text;
    EXPECT_NE(text.find(shortFile.string() + ": too short to hold a recording (100 bytes)\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find(noise.string() + ": not an AVI file"), std::string::npos) << text;
    EXPECT_NE(text.find(stray.string() + ": its name follows none of the naming rules\n"), std::string::npos) << text;
    EXPECT_EQ(report.Text(1).substr(report.Text(1).find('\n') + 1), "... and 2 more\n");
}
