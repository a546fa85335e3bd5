// The settings program's start: loading, creating and repairing the card's settings file on the
// user's answer, and the single instance.

#include "tests/setup/SetupProgramFixture.h"

#include "setupfile/SetupChecksum.h"
#include "setupfile/SetupTextFields.h"

#include <QProcess>

#include <chrono>
#include <fstream>
#include <thread>

namespace tachy::test {
namespace {

using tachy::setupfile::SetupFileStatus;
using tachy::setupfile::SetupTextField;

enum class Damage { WrongSize, WrongChecksum, WrongMaker, WrongModel };

struct DamageCase {
    Damage damage;
    int select;
    const char* name;
};

std::vector<std::uint8_t> Damaged(tachy::setupfile::SetupBuffer buffer, Damage damage) {
    switch (damage) {
    case Damage::WrongSize:
        return {buffer.begin(), buffer.end() - 1};
    case Damage::WrongChecksum:
        buffer[tachy::setupfile::kChecksumOffset] ^= 0x01;
        break;
    case Damage::WrongMaker:
        tachy::setupfile::WriteTextField(buffer, SetupTextField::MakerName, "OTHER", 1252);
        tachy::setupfile::UpdateChecksum(buffer);
        break;
    case Damage::WrongModel:
        tachy::setupfile::WriteTextField(buffer, SetupTextField::ModelName, "OTHER", 1252);
        tachy::setupfile::UpdateChecksum(buffer);
        break;
    }
    return {buffer.begin(), buffer.end()};
}

class SetupCorruptFileTest : public SetupProgramFixture,
                             public testing::WithParamInterface<DamageCase> {};

TEST_P(SetupCorruptFileTest, CancelLeavesTheFileAndOkKeepsItInTheWorkFolder) {
    Configure(GetParam().select);
    const std::vector<std::uint8_t> damaged = Damaged(ValidFile(), GetParam().damage);
    WriteCardFile(damaged);
    {
        MessageAnswerer cancel(false);
        EXPECT_FALSE(MakeDialog().Setup());
        EXPECT_EQ(cancel.Keys(), QStringList{QStringLiteral("message 007")});
        EXPECT_EQ(cancel.Buttons(), QStringList{QStringLiteral("OK|Cancel")});
    }
    EXPECT_EQ(ReadCardFile(), damaged);
    EXPECT_TRUE(WorkCopies().empty());

    MessageAnswerer ok(true);
    ASSERT_TRUE(MakeDialog().Setup());
    EXPECT_EQ(ok.Keys(), QStringList{QStringLiteral("message 007")});
    const std::vector<std::uint8_t> repaired = ReadCardFile();
    EXPECT_EQ(Model()->Validate(repaired, Identity()), SetupFileStatus::Valid);
    const auto copies = WorkCopies();
    ASSERT_EQ(copies.size(), 1u);
    const std::string kept = readAll(copies.front());
    EXPECT_EQ(std::vector<std::uint8_t>(kept.begin(), kept.end()), damaged);
    EXPECT_EQ(std::vector<std::uint8_t>(m_dialog->Working().begin(), m_dialog->Working().end()),
              repaired);
}

INSTANTIATE_TEST_SUITE_P(
    Damages, SetupCorruptFileTest,
    testing::Values(DamageCase{Damage::WrongSize, kSelectSecondPage, "SizeSecondPage"},
                    DamageCase{Damage::WrongChecksum, kSelectSecondPage, "ChecksumSecondPage"},
                    DamageCase{Damage::WrongMaker, kSelectSecondPage, "MakerSecondPage"},
                    DamageCase{Damage::WrongSize, kSelectFirstPage, "SizeFirstPage"},
                    DamageCase{Damage::WrongChecksum, kSelectFirstPage, "ChecksumFirstPage"},
                    DamageCase{Damage::WrongMaker, kSelectFirstPage, "MakerFirstPage"},
                    DamageCase{Damage::WrongModel, kSelectFirstPage, "ModelFirstPage"}),
    [](const testing::TestParamInfo<DamageCase>& param) { return param.param.name; });

using SetupLoadTest = SetupProgramFixture;

TEST_F(SetupLoadTest, AnotherModelNameIsAcceptedOnTheSecondPage) {
    const std::vector<std::uint8_t> other = Damaged(ValidFile(), Damage::WrongModel);
    WriteCardFile(other);
    MessageAnswerer ok(true);
    ASSERT_TRUE(MakeDialog().Setup());
    EXPECT_TRUE(ok.Keys().isEmpty());
    EXPECT_EQ(ReadCardFile(), other);
}

TEST_F(SetupLoadTest, AValidFileLoadsWithoutAQuestionAndIsNotWritten) {
    const auto valid = ValidFile();
    WriteCardFile(valid);
    MessageAnswerer ok(true);
    ASSERT_TRUE(MakeDialog().Setup());
    EXPECT_TRUE(ok.Keys().isEmpty());
    EXPECT_EQ(m_dialog->Working(), valid);
    EXPECT_EQ(m_dialog->Loaded(), valid);
    EXPECT_TRUE(m_dialog->IsWatching());
}

TEST_F(SetupLoadTest, AMissingFileIsCreatedOnlyOnOk) {
    for (const int select : {kSelectFirstPage, kSelectSecondPage}) {
        Configure(select);
        std::filesystem::remove_all(m_card / "SETUP");
        {
            MessageAnswerer cancel(false);
            EXPECT_FALSE(MakeDialog().Setup());
            EXPECT_EQ(cancel.Keys(), QStringList{QStringLiteral("message 002")});
        }
        EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
        MessageAnswerer ok(true);
        ASSERT_TRUE(MakeDialog().Setup());
        EXPECT_EQ(ok.Keys(), QStringList{QStringLiteral("message 002")});
        // The first page's new file carries its factory defaults, so it passes at the next start.
        const auto created = ReadCardFile();
        EXPECT_EQ(Model()->Validate(created, Identity()), SetupFileStatus::Valid) << select;
        const auto expected = ValidFile();
        EXPECT_EQ(created, std::vector<std::uint8_t>(expected.begin(), expected.end()));
        m_dialog.reset();
        m_app.reset();
    }
}

TEST_F(SetupLoadTest, NoCardClosesWithMessage001) {
    StartApp();
    CTachySetupDlg dialog(*m_app, {});
    MessageAnswerer ok(true);
    EXPECT_FALSE(dialog.Setup());
    EXPECT_EQ(ok.Keys(), QStringList{QStringLiteral("message 001")});
}

TEST_F(SetupLoadTest, AFileThatCannotBeCreatedIsReportedAndTheProgramCloses) {
    // A plain file where the settings folder should be.
    std::ofstream(m_card / "SETUP") << "x";
    MessageAnswerer ok(true);
    EXPECT_FALSE(MakeDialog().Setup());
    EXPECT_EQ(ok.Keys(),
              (QStringList{QStringLiteral("message 002"), QStringLiteral("message 004")}));
}

TEST_F(SetupLoadTest, ASecondApplicationInTheSameSessionIsRefused) {
    StartApp();
    CTachySetupApp second;
    EXPECT_EQ(second.InitInstance(m_program), CTachySetupApp::Start::AlreadyRunning);
}

TEST_F(SetupLoadTest, AnUnusableOptionFileLeavesTheProgramWithoutAPage) {
    std::filesystem::remove(m_program / "_option" / "option.ini");
    CTachySetupApp app;
    EXPECT_EQ(app.InitInstance(m_program), CTachySetupApp::Start::NoOption);
}

// Whether the process holds a flock lock (the single-instance lock), from /proc/locks.
bool HoldsLock(qint64 pid) {
    std::ifstream locks("/proc/locks");
    std::string line;
    const std::string field = " " + std::to_string(pid) + " ";
    while (std::getline(locks, line)) {
        if (line.find("FLOCK") != std::string::npos && line.find(field) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST_F(SetupLoadTest, ASecondStartExitsSilentlyWhileTheFirstRuns) {
    // The program as installed in the build tree: its own folder holds _option.
    WriteCardFile(ValidFile());
    const QStringList arguments{QStringLiteral("--card"), QString::fromStdString(m_card)};
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess first;
    first.setProcessEnvironment(environment);
    first.start(QStringLiteral(TACHY_SETUP_PROGRAM), arguments);
    ASSERT_TRUE(first.waitForStarted());
    while (!HoldsLock(first.processId()) && first.state() == QProcess::Running) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_EQ(first.state(), QProcess::Running) << first.readAllStandardError().toStdString();

    QProcess second;
    second.setProcessEnvironment(environment);
    second.start(QStringLiteral(TACHY_SETUP_PROGRAM), arguments);
    ASSERT_TRUE(second.waitForFinished(-1));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(second.readAllStandardOutput().isEmpty());
    EXPECT_TRUE(second.readAllStandardError().isEmpty());
    EXPECT_EQ(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished(-1);
}

} // namespace
} // namespace tachy::test
