// The system-initialisation button: factory defaults written, "reset.txt" at the card root, and
// nothing written when the user declines or when the defaults would need a format.

#include "tests/setup/SetupProgramFixture.h"

#include "setup/ISetupDlg.h"
#include "setupfile/SetupChecksum.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace tachy::test {
namespace {

using tachy::setupfile::SetupBuffer;

std::vector<std::uint8_t> Bytes(const SetupBuffer& buffer) {
    return {buffer.begin(), buffer.end()};
}

class SetupSystemInitTest : public SetupProgramFixture {
protected:
    // A valid file whose byte 163 (both pages: a row of buttons) differs from its default.
    SetupBuffer ChangedFile(int byte160) const {
        SetupBuffer file = ValidFile();
        file[163] = file[163] == 0 ? 1 : 0;
        if (byte160 >= 0) {
            file[160] = static_cast<std::uint8_t>(byte160);
            file[169] = static_cast<std::uint8_t>(byte160);
        }
        tachy::setupfile::UpdateChecksum(file);
        return file;
    }

    void ClickSystemInit() {
        QTest::mouseClick(m_dialog->findChild<QPushButton*>(QStringLiteral("common sys init")),
                          Qt::LeftButton);
    }

    std::filesystem::path ResetFile() const { return m_card / "reset.txt"; }
};

TEST_F(SetupSystemInitTest, OkWritesTheFactoryDefaultsAndTheResetRequest) {
    const SetupBuffer file = ChangedFile(-1);
    WriteCardFile(file);
    MessageAnswerer ok(true);
    ASSERT_TRUE(MakeDialog().Setup());
    ClickSystemInit();
    EXPECT_EQ(ok.Keys(), QStringList{QStringLiteral("message 010")});
    SetupBuffer expected = file;
    Model()->FactoryDefaults(expected, Identity());
    EXPECT_EQ(ReadCardFile(), Bytes(expected));
    ASSERT_TRUE(std::filesystem::exists(ResetFile()));
    EXPECT_EQ(std::filesystem::file_size(ResetFile()), 0u);
    EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
}

TEST_F(SetupSystemInitTest, CancelPutsTheLoadedSettingsBackAndWritesNothing) {
    const SetupBuffer file = ChangedFile(-1);
    WriteCardFile(file);
    MessageAnswerer cancel(false);
    ASSERT_TRUE(MakeDialog().Setup());
    ClickSystemInit();
    EXPECT_EQ(cancel.Keys(), QStringList{QStringLiteral("message 010")});
    EXPECT_EQ(m_dialog->Working(), file);
    EXPECT_TRUE(
        m_dialog->findChild<QRadioButton*>(ISetupDlg::ButtonName(163, file[163]))->isChecked());
    EXPECT_EQ(ReadCardFile(), Bytes(file));
    EXPECT_FALSE(std::filesystem::exists(ResetFile()));
}

TEST_F(SetupSystemInitTest, DefaultsThatNeedAFormatAreNotKeptWhenTheCardCannotBeFormatted) {
    // The factory default of byte 160 is 1: a card holding 0 would need a format, and a plain
    // folder is no volume that can be formatted.
    const SetupBuffer file = ChangedFile(0);
    WriteCardFile(file);
    MessageAnswerer ok(true);
    ASSERT_TRUE(MakeDialog().Setup());
    ClickSystemInit();
    EXPECT_EQ(ok.Keys(),
              (QStringList{QStringLiteral("message 009"), QStringLiteral("format message fail")}));
    EXPECT_EQ(ReadCardFile(), Bytes(file));
    EXPECT_EQ(m_dialog->Working(), file);
    EXPECT_FALSE(std::filesystem::exists(ResetFile()));
    EXPECT_NE(m_dialog->result(), QDialog::Accepted);
}

TEST_F(SetupSystemInitTest, TheFirstPageWritesItsSettingsAsTheyStand) {
    // The first page has no factory defaults of its own: what is shown is written.
    Configure(kSelectFirstPage);
    const SetupBuffer file = ValidFile();
    WriteCardFile(file);
    MessageAnswerer ok(true);
    ASSERT_TRUE(MakeDialog().Setup());
    const int other = (file[674] + 1) % 3;
    QTest::mouseClick(m_dialog->findChild<QRadioButton*>(ISetupDlg::ButtonName(674, other)),
                      Qt::LeftButton);
    ClickSystemInit();
    EXPECT_EQ(ok.Keys(), QStringList{QStringLiteral("message 010")});
    SetupBuffer expected = file;
    expected[674] = static_cast<std::uint8_t>(other);
    tachy::setupfile::UpdateChecksum(expected);
    EXPECT_EQ(ReadCardFile(), Bytes(expected));
    EXPECT_TRUE(std::filesystem::exists(ResetFile()));
}

} // namespace
} // namespace tachy::test
