// The two settings pages through their real controls: every setting changed by clicks and keys,
// saved, reloaded and compared byte for byte with what the page model makes of the same choices.

#include "tests/setup/SetupProgramFixture.h"

#include "platform/ipc/NamedEvent.h"
#include "setup/CSetupLogOn.h"
#include "setup/ISetupDlg.h"
#include "setupfile/CSetupLogOnModel.h"
#include "setupfile/SetupChecksum.h"
#include "setupfile/SetupTextFields.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimeEdit>

#include <chrono>

namespace tachy::test {
namespace {

using tachy::setupfile::SetupBuffer;
using tachy::setupfile::SetupByteSetting;
using tachy::setupfile::SetupControl;

template <typename Widget> Widget* Find(QWidget& parent, const QString& name) {
    auto* widget = parent.findChild<Widget*>(name);
    EXPECT_NE(widget, nullptr) << name.toStdString();
    return widget;
}

// Picks `value` in a list with the keyboard, as a user would.
void PickInList(QComboBox& list, int value) {
    list.setFocus();
    while (list.currentIndex() < value) {
        QTest::keyClick(&list, Qt::Key_Down);
    }
    while (list.currentIndex() > value) {
        QTest::keyClick(&list, Qt::Key_Up);
    }
}

// Changes every setting of the page except `skip` to another value through its controls;
// answers the model's view of the same changes.
SetupBuffer ChangeEverySetting(CTachySetupDlg& dialog, int skip) {
    ISetupDlg& page = *dialog.Page();
    SetupBuffer expected = dialog.Working();
    for (const SetupByteSetting& setting : page.Model().Settings()) {
        if (setting.offset == skip) {
            continue;
        }
        const int now = page.Model().ShownValue(expected, setting);
        const int value = (now + 1) % setting.choices;
        const bool useList = setting.control == SetupControl::List ||
                             setting.control == SetupControl::TimeZoneList ||
                             (setting.control == SetupControl::ButtonsAndList && value % 2 == 0);
        if (useList) {
            PickInList(*Find<QComboBox>(page, ISetupDlg::ListName(setting.offset)), value);
        } else {
            auto* button = Find<QRadioButton>(page, ISetupDlg::ButtonName(setting.offset, value));
            QTest::mouseClick(button, Qt::LeftButton);
            EXPECT_TRUE(button->isChecked());
        }
        EXPECT_TRUE(page.Model().SetChoice(expected, setting.offset, value));
    }
    tachy::setupfile::UpdateChecksum(expected);
    return expected;
}

class SetupPageRoundTripTest : public SetupProgramFixture,
                               public testing::WithParamInterface<int> {};

TEST_P(SetupPageRoundTripTest, EverySettingChangedByItsControlsIsSavedAndShownAgain) {
    Configure(GetParam());
    WriteCardFile(ValidFile());
    MessageAnswerer ok(true);
    CTachySetupDlg& dialog = MakeDialog();
    ASSERT_TRUE(dialog.Setup());
    dialog.show();
    tachy::NamedEvent access(CTachySetupDlg::kAccessEventName);
    while (access.wait(std::chrono::milliseconds(0)) == tachy::NamedEvent::WaitResult::Signaled) {
    }
    // The byte whose change needs a format is left alone here.
    const int formatByte = GetParam() == kSelectSecondPage ? 160 : -1;
    const SetupBuffer expected = ChangeEverySetting(dialog, formatByte);
    ASSERT_NE(expected, dialog.Loaded());

    QTest::mouseClick(Find<QPushButton>(dialog, QStringLiteral("common save")), Qt::LeftButton);
    EXPECT_TRUE(ok.Keys().isEmpty());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(ReadCardFile(), std::vector<std::uint8_t>(expected.begin(), expected.end()));
    // The viewer is told that the card changed.
    EXPECT_EQ(access.wait(std::chrono::milliseconds(0)), tachy::NamedEvent::WaitResult::Signaled);

    // Loaded again, the controls show what was saved.
    m_dialog.reset();
    CTachySetupDlg& again = MakeDialog();
    ASSERT_TRUE(again.Setup());
    for (const SetupByteSetting& setting : again.Page()->Model().Settings()) {
        const int value = expected[static_cast<std::size_t>(setting.offset)];
        if (auto* list = again.findChild<QComboBox*>(ISetupDlg::ListName(setting.offset))) {
            EXPECT_EQ(list->currentIndex(), value) << setting.offset;
        }
        if (auto* button =
                again.findChild<QRadioButton*>(ISetupDlg::ButtonName(setting.offset, value))) {
            EXPECT_TRUE(button->isChecked()) << setting.offset;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, SetupPageRoundTripTest,
                         testing::Values(kSelectFirstPage, kSelectSecondPage),
                         [](const testing::TestParamInfo<int>& param) {
                             return param.param == kSelectFirstPage ? "FirstPage" : "SecondPage";
                         });

using SetupPageTest = SetupProgramFixture;

TEST_F(SetupPageTest, ChangingByte160AsksForAFormatAndCancelRestoresItWithoutWriting) {
    const SetupBuffer valid = ValidFile();
    WriteCardFile(valid);
    CTachySetupDlg& dialog = MakeDialog();
    ASSERT_TRUE(dialog.Setup());
    const int other = (valid[160] + 1) % 3;
    QTest::mouseClick(Find<QRadioButton>(dialog, ISetupDlg::ButtonName(160, other)),
                      Qt::LeftButton);
    EXPECT_EQ(dialog.Working()[160], other);
    EXPECT_EQ(dialog.Working()[169], other);
    for (const bool answer : {false, true}) {
        QTest::mouseClick(Find<QRadioButton>(dialog, ISetupDlg::ButtonName(160, other)),
                          Qt::LeftButton);
        MessageAnswerer answerer(answer);
        QTest::mouseClick(Find<QPushButton>(dialog, QStringLiteral("common save")), Qt::LeftButton);
        EXPECT_EQ(answerer.Keys().value(0), QStringLiteral("message 008"));
        // Cancel writes nothing; OK saves, but the card folder is no volume that can be
        // formatted, so the settings as loaded are written back. Either way byte 160 and its
        // mirror go back to what the card holds.
        EXPECT_EQ(answerer.Keys().size(), answer ? 2 : 1);
        EXPECT_EQ(ReadCardFile(), std::vector<std::uint8_t>(valid.begin(), valid.end()));
        EXPECT_EQ(dialog.Working()[160], valid[160]);
        EXPECT_EQ(dialog.Working()[169], valid[160]);
        EXPECT_TRUE(
            Find<QRadioButton>(dialog, ISetupDlg::ButtonName(160, valid[160]))->isChecked());
        EXPECT_NE(dialog.result(), QDialog::Accepted);
    }
}

TEST_F(SetupPageTest, TheDefaultButtonSetsTheButtonDefaultsWithoutWriting) {
    SetupBuffer file = ValidFile();
    const auto model = Model();
    for (const SetupByteSetting& setting : model->Settings()) {
        model->SetChoice(file, setting.offset, setting.choices - 1);
    }
    tachy::setupfile::UpdateChecksum(file);
    WriteCardFile(file);
    CTachySetupDlg& dialog = MakeDialog();
    ASSERT_TRUE(dialog.Setup());
    QTest::mouseClick(Find<QPushButton>(dialog, QStringLiteral("common default")), Qt::LeftButton);
    SetupBuffer expected = file;
    model->ButtonDefaults(expected, Identity());
    EXPECT_EQ(dialog.Working(), expected);
    EXPECT_TRUE(Find<QRadioButton>(dialog, ISetupDlg::ButtonName(548, expected[548]))->isChecked());
    EXPECT_EQ(ReadCardFile(), std::vector<std::uint8_t>(file.begin(), file.end()));
}

TEST_F(SetupPageTest, ValuesOutOfRangeShowTheirLoadDefaults) {
    SetupBuffer file = ValidFile();
    file[162] = 0xFF;
    file[929] = 45;
    file[288] = 4;
    tachy::setupfile::UpdateChecksum(file);
    WriteCardFile(file);
    CTachySetupDlg& dialog = MakeDialog();
    ASSERT_TRUE(dialog.Setup());
    EXPECT_TRUE(Find<QRadioButton>(dialog, ISetupDlg::ButtonName(162, 0))->isChecked());
    EXPECT_EQ(Find<QComboBox>(dialog, ISetupDlg::ListName(162))->currentIndex(), 0);
    EXPECT_EQ(Find<QComboBox>(dialog, ISetupDlg::ListName(929))->currentText(),
              QStringLiteral("+9:00"));
    EXPECT_EQ(Find<QComboBox>(dialog, ISetupDlg::ListName(288))->currentIndex(), 2);
}

TEST_F(SetupPageTest, TheModelOptionsShowOnlyForAnRK150ZTFile) {
    for (const char* model : {"RK150ZT", "RK150Z", "TACHY-500"}) {
        SetupBuffer file = ValidFile();
        tachy::setupfile::WriteTextField(file, tachy::setupfile::SetupTextField::ModelName, model,
                                         1252);
        tachy::setupfile::UpdateChecksum(file);
        WriteCardFile(file);
        CTachySetupDlg& dialog = MakeDialog();
        ASSERT_TRUE(dialog.Setup());
        dialog.show();
        auto* options = Find<QGroupBox>(dialog, QStringLiteral("group:_group 10"));
        EXPECT_EQ(options->isVisible(), std::string(model) == "RK150ZT") << model;
        m_dialog.reset();
    }
}

TEST_F(SetupPageTest, TheTimePanelWritesTheClockFileInTheSettingsFolder) {
    WriteCardFile(ValidFile());
    CTachySetupDlg& dialog = MakeDialog();
    ASSERT_TRUE(dialog.Setup());
    auto* save = Find<QPushButton>(dialog, QStringLiteral("timeset save"));
    EXPECT_FALSE(save->isEnabled());
    auto* date = Find<QDateEdit>(dialog, QStringLiteral("timeset date"));
    auto* time = Find<QTimeEdit>(dialog, QStringLiteral("timeset time"));
    date->setDate(QDate(2041, 3, 9));
    time->setTime(QTime(23, 5, 59));
    QTest::mouseClick(Find<QCheckBox>(dialog, QStringLiteral("timeset check")), Qt::LeftButton);
    ASSERT_TRUE(save->isEnabled());
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(readAll(m_card / "SETUP" / "timeset.txt"), "2041-03-09 23:05:59");
}

} // namespace
} // namespace tachy::test
