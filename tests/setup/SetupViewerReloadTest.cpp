// The viewer and the settings program together in one session: the viewer has a card open at its
// root, the card changes, and the settings program saves its settings there through its real
// Save button; its "IPC_SHARED_ACCESS" signal makes the viewer read the card again.

#include "tests/viewer/main/ViewerWindowFixture.h"

#include "setup/CTachySetupApp.h"
#include "setup/CTachySetupDlg.h"
#include "setup/ISetupDlg.h"
#include "setupfile/CSetupOption.h"
#include "setupfile/ISetupPageModel.h"
#include "setupfile/SetupFileStore.h"
#include "viewer/list/CTabList.h"

#include <QPushButton>
#include <QRadioButton>

#include <cstdlib>

namespace {

namespace fs = std::filesystem;
using viewer_test::waitFor;

class SetupViewerReload : public viewer_test::ViewerWindowFixture {
protected:
    void SetUp() override {
        // A session of our own: the named events and the registry are private to this test.
        const fs::path runtime = m_session.path() / "runtime";
        fs::create_directories(runtime);
        fs::permissions(runtime, fs::perms::owner_all);
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (m_session.path() / "config").c_str(), 1);
        ViewerWindowFixture::SetUp();
        // A card of its own, with a valid settings file, as the settings program wants it.
        m_card = m_session.path() / "card";
        fs::copy(s_data->path() / "card", m_card, fs::copy_options::recursive);
        tachy::setupfile::CSetupOption option;
        ASSERT_TRUE(option.Load(s_data->path() / "program" / "_option"));
        tachy::setupfile::SetupBuffer settings{};
        tachy::setupfile::ISetupPageModel::Create(option.productId)
            ->NewFileDefaults(settings, option.Identity(1252));
        ASSERT_EQ(
            tachy::setupfile::SetupFileStore().Write(option.SettingsFilePath(m_card), settings),
            tachy::setupfile::SetupWriteResult::Written);
    }

    TempFolder m_session;
    fs::path m_card;
};

TEST_F(SetupViewerReload, TheSettingsProgramsSaveReloadsTheCardOpenAtItsRoot) {
    const QString card = QString::fromStdString(m_card.string());
    ASSERT_TRUE(m_window->OpenPath(card));
    ASSERT_EQ(m_window->List()->GetItemCount(), 3);
    m_window->SetDriveRootTest(&viewer_test::isDriveRoot);
    const int opens = m_window->OpenCount();

    // A recording goes from the card behind the viewer's back: nothing is read again yet.
    CTimeList last;
    ASSERT_TRUE(m_window->List()->CopyEntry(2, last));
    for (int channel = 0; channel < 2; ++channel) {
        ASSERT_TRUE(fs::remove(last.CurrentPath(channel))) << last.CurrentPath(channel);
    }
    QTest::qWait(300);
    EXPECT_EQ(m_window->OpenCount(), opens);
    EXPECT_EQ(m_window->List()->GetItemCount(), 3);

    // The settings program changes a setting and saves it.
    CTachySetupApp setupApp;
    ASSERT_EQ(setupApp.InitInstance(s_data->path() / "program"), CTachySetupApp::Start::Ready);
    CTachySetupDlg setup(setupApp, m_card);
    ASSERT_TRUE(setup.Setup());
    const int other = setup.Working()[163] == 0 ? 1 : 0;
    QTest::mouseClick(setup.findChild<QRadioButton*>(ISetupDlg::ButtonName(163, other)),
                      Qt::LeftButton);
    QTest::mouseClick(setup.findChild<QPushButton*>(QStringLiteral("common save")), Qt::LeftButton);
    ASSERT_EQ(setup.result(), QDialog::Accepted);

    // The viewer reads the card again and lists what is on it now.
    ASSERT_TRUE(waitFor([&] { return m_window->OpenCount() == opens + 1; }, 30000));
    EXPECT_EQ(m_window->LoadedPath(), card);
    EXPECT_EQ(m_window->List()->GetItemCount(), 2);
}

} // namespace
