// Damaged and vanishing cards through tachy-play, as its own process: whatever the damage, it
// ends within its time limit without a crash, plays what can be played, names the files it could
// not read, and leaves every file of the card as it was.

#include "tests/robust/CardDamage.h"
#include "tests/robust/FaultMount.h"
#include "tests/robust/RobustCard.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <random>

using namespace tachy::robust;

namespace {

constexpr long long kStartMs = 1709211909000LL; // mkcard's first picture
constexpr long long kThirdPeriodMs = kStartMs + 4000;

long long lastFrontPicture(const std::string& output) {
    const std::size_t at = output.find(", last ");
    return at == std::string::npos ? -1 : std::atoll(output.c_str() + at + 7);
}

// tachy-play ran to its end by itself: not killed at the time limit, not ended by a signal.
void expectEndedByItself(const RunResult& run) {
    EXPECT_FALSE(run.hung) << run.output;
    EXPECT_GE(run.exitCode, 0) << run.output;
    EXPECT_LT(run.exitCode, 128) << run.output;
}

// The card's first and last periods are whole: play must go on past the damaged middle one.
void expectPlayedToTheLastPeriod(const RunResult& run) {
    expectEndedByItself(run);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_GE(frontPictures(run.output), 120) << run.output; // 2 whole periods at 2x: every picture
    EXPECT_GE(lastFrontPicture(run.output), kThirdPeriodMs) << run.output;
}

// The middle period's files (both cameras).
std::vector<std::filesystem::path> middlePeriod(const RobustCard& card) {
    const auto files = card.StreamFiles();
    return {files.at(2), files.at(3)};
}

} // namespace

TEST(DamagedCardPlay, FilesCutAtRandomOffsetsLeaveTheRestPlaying) {
    for (const unsigned seed : {1U, 2U, 3U, 4U}) {
        SCOPED_TRACE(seed);
        const RobustCard card;
        ASSERT_TRUE(card.Made());
        std::mt19937 random(seed);
        for (const auto& file : middlePeriod(card)) {
            cutAt(file, std::uniform_int_distribution<std::uintmax_t>(
                            0, std::filesystem::file_size(file))(random));
        }
        const auto before = fingerprint(card.Root());
        expectPlayedToTheLastPeriod(card.Play({"--speed", "2"}));
        EXPECT_EQ(fingerprint(card.Root()), before);
    }
}

TEST(DamagedCardPlay, BytesFlippedInHeadersIndexAndFramesLeaveTheRestPlaying) {
    struct Area {
        const char* name;
        const char* from; // the tag the area starts after
        const char* to;   // the tag it ends before ("" for the end of the file)
        int flips;
    };
    const Area areas[] = {
        {"headers", "RIFF", "movi", 4}, {"idx1", "idx1", "", 8}, {"frames", "movi", "idx1", 16}};
    for (const Area& area : areas) {
        for (const unsigned seed : {1U, 2U, 3U}) {
            SCOPED_TRACE(std::string(area.name) + " " + std::to_string(seed));
            const RobustCard card;
            ASSERT_TRUE(card.Made());
            std::mt19937 random(seed);
            for (const auto& file : middlePeriod(card)) {
                const std::uintmax_t from = findTag(file, area.from) + 8;
                const std::uintmax_t to =
                    *area.to != '\0' ? findTag(file, area.to) : std::filesystem::file_size(file);
                ASSERT_LT(from, to);
                for (int i = 0; i < area.flips; ++i) {
                    flipByte(file,
                             std::uniform_int_distribution<std::uintmax_t>(from, to - 1)(random));
                }
            }
            const auto before = fingerprint(card.Root());
            expectPlayedToTheLastPeriod(card.Play({"--speed", "2"}));
            EXPECT_EQ(fingerprint(card.Root()), before);
        }
    }
}

TEST(DamagedCardPlay, EmptyFilesAndFoldersInFilesPlacesAreNamedAndPassedOver) {
    const RobustCard card;
    ASSERT_TRUE(card.Made());
    const auto files = card.StreamFiles();
    cutAt(files.at(2), 0);
    // A folder under the name of a fourth period's front file, and one under a rear file's name.
    std::filesystem::create_directories(card.Root() / "normal" /
                                        "TCY_0004_20240229_130539_N_1.avi");
    const std::string rear = files.at(5).filename().string();
    std::filesystem::remove(files.at(5));
    std::filesystem::create_directories(files.at(5));
    const auto before = fingerprint(card.Root());
    const RunResult run = card.Play({"--speed", "2"});
    expectEndedByItself(run);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find(files.at(2).filename().string() + ": too short"), std::string::npos)
        << run.output;
    EXPECT_GE(lastFrontPicture(run.output), kThirdPeriodMs) << run.output;
    EXPECT_EQ(fingerprint(card.Root()), before);
}

TEST(DamagedCardPlay, MkcardsDamagedCasesPlayAndNothingIsRewrittenOrDeleted) {
    const RobustCard card(3, {"--damage", "noidx1,cut,preamble,tiny,badname,system_run"});
    ASSERT_TRUE(card.Made());
    const auto before = fingerprint(card.Root());
    ASSERT_EQ(before.count("normal/system_run"), 1U);
    const RunResult run = card.Play({"--speed", "2"});
    expectEndedByItself(run);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_GT(frontPictures(run.output), 0) << run.output;
    EXPECT_NE(run.output.find("not_a_recording.avi"), std::string::npos) << run.output;
    EXPECT_EQ(fingerprint(card.Root()), before);
}

TEST(DamagedCardPlay, AGarbageNamingRuleIsPassedOverAndAloneFindsNothing) {
    const RobustCard card(1);
    ASSERT_TRUE(card.Made());
    const std::filesystem::path rules = card.Work() / "rules";
    std::filesystem::create_directories(rules);
    std::mt19937 random(23);
    std::string garbage(4096, '\0');
    for (char& byte : garbage) {
        byte = static_cast<char>(random());
    }
    // Read before the real rules (the names sort first), with lines that look like keys.
    std::ofstream(rules / "FileNameRule_0.ini", std::ios::binary)
        << "[FileNameRule]\nPrefix=" << garbage << "\nSearchDepth=99999999999\nItem0=-7,,\n";
    const RunResult alone = card.Play({"--rules", rules.string(), "--speed", "4"});
    expectEndedByItself(alone);
    EXPECT_EQ(alone.exitCode, 1) << alone.output;
    EXPECT_NE(alone.output.find("no recordings found"), std::string::npos) << alone.output;

    std::filesystem::copy_file(std::filesystem::path(TACHY_DATA_DIR) / "_option" /
                                   "FileNameRule_A.ini",
                               rules / "FileNameRule_A.ini");
    const RunResult withReal = card.Play({"--rules", rules.string(), "--speed", "4"});
    expectEndedByItself(withReal);
    EXPECT_EQ(withReal.exitCode, 0) << withReal.output;
    EXPECT_GT(frontPictures(withReal.output), 0) << withReal.output;
}

TEST(DamagedCardPlay, FilesWhoseReadsFailAreNamedAndPassedOver) {
    const RobustCard card;
    ASSERT_TRUE(card.Made());
    const auto before = fingerprint(card.Root());
    FaultMount mount(card.Root(), card.Work() / "mnt", card.Work() / "faults");
    ASSERT_TRUE(mount.Mounted()) << tachy::test::readAll(card.Work() / "faultfs.log");
    const std::string failing = "normal/" + card.StreamFiles().at(2).filename().string();
    mount.FailReads(failing);
    const RunResult run = card.Play({"--speed", "2"}, card.Work() / "mnt");
    expectEndedByItself(run);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find(failing + ": "), std::string::npos) << run.output;
    EXPECT_GE(lastFrontPicture(run.output), kThirdPeriodMs) << run.output;
    EXPECT_EQ(fingerprint(card.Root()), before);
}

TEST(DamagedCardPlay, ACardThatGoesBadWhileWalkedOrPlayedEndsWithoutAHang) {
    const RobustCard card;
    ASSERT_TRUE(card.Made());
    const auto before = fingerprint(card.Root());
    FaultMount mount(card.Root(), card.Work() / "mnt", card.Work() / "faults");
    ASSERT_TRUE(mount.Mounted()) << tachy::test::readAll(card.Work() / "faultfs.log");
    // Every read fails from the first file the walk opens.
    const RunResult walked = card.Play({"--speed", "2"}, card.Work() / "mnt", [&](pid_t pid) {
        waitForOpenFileUnder(pid, card.Work() / "mnt", std::chrono::seconds(20));
        mount.FailAll();
    });
    expectEndedByItself(walked);
    EXPECT_EQ(fingerprint(card.Root()), before);
}

TEST(DamagedCardPlay, ACardThatGoesBadWhilePlayedEndsPlayWithoutAHang) {
    const RobustCard card;
    ASSERT_TRUE(card.Made());
    const auto before = fingerprint(card.Root());
    FaultMount mount(card.Root(), card.Work() / "mnt", card.Work() / "faults");
    ASSERT_TRUE(mount.Mounted()) << tachy::test::readAll(card.Work() / "faultfs.log");
    // Once pictures are being shown, every read fails: as a card pulled out mid-play.
    const RunResult played =
        card.Play({"--speed", "1", "--memory-every", "0.5"}, card.Work() / "mnt", [&](pid_t) {
            waitForText(card.Work() / "tachy-play.txt", "memory:", std::chrono::seconds(20));
            mount.FailAll();
        });
    expectEndedByItself(played);
    EXPECT_GT(frontPictures(played.output), 0) << played.output;
    EXPECT_LT(frontPictures(played.output), 180) << played.output;
    EXPECT_EQ(fingerprint(card.Root()), before);
}

TEST(DamagedCardPlay, ACardFolderRemovedWhileWalkedOrPlayedEndsWithoutAHang) {
    const RobustCard walkedCard;
    ASSERT_TRUE(walkedCard.Made());
    // Removed as soon as the walk opens its first file.
    const RunResult walked = walkedCard.Play({"--speed", "2"}, {}, [&](pid_t pid) {
        waitForOpenFileUnder(pid, walkedCard.Root(), std::chrono::seconds(20));
        std::filesystem::remove_all(walkedCard.Root() / "normal");
    });
    expectEndedByItself(walked);

    const RobustCard card;
    ASSERT_TRUE(card.Made());
    const RunResult run = card.Play({"--speed", "1", "--memory-every", "0.5"}, {}, [&](pid_t) {
        waitForText(card.Work() / "tachy-play.txt", "memory:", std::chrono::seconds(20));
        std::filesystem::remove_all(card.Root() / "normal");
    });
    expectEndedByItself(run);
    EXPECT_GT(frontPictures(run.output), 0) << run.output;
}
