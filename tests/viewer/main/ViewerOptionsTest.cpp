// The options and preferences the viewer reads and must act on: the option file's "Show OBD",
// the "SearchDepth" preference of the viewer's settings file, the messages for commands that
// need something loaded or playing, and captions that fit in every language.

#include "tests/viewer/main/ViewerWindowFixture.h"

#include "viewer/app/ViewerCommands.h"
#include "skinctl/CCtrlButtonEx.h"
#include "viewer/boxes/CWndFunc.h"
#include "viewer/list/CTabList.h"

#include <fstream>
#include <sstream>

using namespace viewer_test;  // NOLINT(google-build-using-namespace): the fixture's helpers

namespace {

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// Replaces the first `from` in the file by `to`; false when the file does not hold it.
bool replaceInFile(const std::filesystem::path& path, const std::string& from, const std::string& to) {
    std::string text = readText(path);
    const std::size_t at = text.find(from);
    if (at == std::string::npos) {
        return false;
    }
    writeText(path, text.replace(at, from.size(), to));
    return true;
}

// Each test starts the window itself, after changing the files it reads at start.
class ViewerOptions : public ViewerWindowFixture {
protected:
    void SetUp() override {}
    void Start() { ViewerWindowFixture::SetUp(); }
    // A new window on the same application, reading its settings file again.
    void Restart() {
        m_window.reset();
        m_window = std::make_unique<CTachyPlayerDlg>(m_app);
        ASSERT_TRUE(m_window->Initialize());
        m_window->show();
        QApplication::processEvents();
    }
    static std::filesystem::path optionFile() { return s_data->path() / "program" / "_option" / "option.ini"; }
};

TEST_F(ViewerOptions, ShowObdZeroTakesTheVehicleTabAway) {
    const std::string original = readText(optionFile());
    ASSERT_TRUE(replaceInFile(optionFile(), "Select=1", "Select=0"));  // the product whose "Show OBD" is 0
    Start();
    writeText(optionFile(), original);
    CWndFunc* panel = m_window->Func();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->OffersTab(0));
    EXPECT_FALSE(panel->OffersTab(2));
    panel->SelectTab(2);
    EXPECT_EQ(panel->CurrentTab(), 0);
}

TEST_F(ViewerOptions, ShowObdOneOffersTheVehicleTab) {
    Start();
    CWndFunc* panel = m_window->Func();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->OffersTab(2));
    panel->SelectTab(2);
    EXPECT_EQ(panel->CurrentTab(), 2);
}

TEST_F(ViewerOptions, TheSearchDepthPreferenceFindsRecordingsDeeperDown) {
    // The card four folders below the folder that is opened.
    const std::filesystem::path root = s_data->path() / "deep";
    const std::filesystem::path nested = root / "one" / "two" / "three" / "card";
    std::filesystem::create_directories(nested.parent_path());
    std::filesystem::copy(s_data->path() / "card", nested, std::filesystem::copy_options::recursive);
    const QString opened = QString::fromStdString(root.string());

    Start();
    EXPECT_FALSE(m_window->OpenPath(opened));  // the default depth does not reach it
    const std::filesystem::path settings = m_app.GetPaths().appPath / "AppSetup.ini";
    m_window.reset();  // saves the settings file
    ASSERT_TRUE(replaceInFile(settings, "SearchDepth=2", "SearchDepth=6"));
    Restart();
    EXPECT_TRUE(m_window->OpenPath(opened));
    EXPECT_EQ(m_window->List()->GetItemCount(), 3);
    m_window.reset();
    ASSERT_TRUE(replaceInFile(settings, "SearchDepth=6", "SearchDepth=2"));
}

TEST_F(ViewerOptions, CommandsThatNeedPlaybackOrACardSaySo) {
    Start();
    m_window->command(viewer::kUserMessage, viewer::kObdLog, 0);
    EXPECT_EQ(viewer::LastMessageKey(), QStringLiteral("message 002"));  // nothing loaded

    ASSERT_TRUE(m_window->OpenPath(card()));
    for (const auto command : {viewer::kStepForwardKey, viewer::kStepBackwardKey, viewer::kStepForward,
                               viewer::kZoomIn, viewer::kZoomOut}) {
        m_window->command(viewer::kUserMessage, viewer::kObdLog, 0);  // a different message first
        m_window->command(viewer::kUserMessage, command, 0);
        EXPECT_EQ(viewer::LastMessageKey(), QStringLiteral("message 004")) << command;
    }
}

TEST_F(ViewerOptions, EveryCaptionFitsItsControlInEveryLanguage) {
    Start();
    const struct {
        std::uint16_t id;
        const char* name;
    } languages[] = {{0x0409, "english"}, {0x0407, "german"}, {0x0412, "korean"}};
    for (const auto& language : languages) {
        ASSERT_TRUE(m_app.ChangeLanguage(language.id)) << language.name;
        Restart();
        ASSERT_TRUE(m_window->OpenPath(card()));
        for (const QSize size : {QSize(1280, 800), QSize(1920, 1080)}) {
            m_window->resize(size);
            QApplication::processEvents();
            int captions = 0;
            for (const CCtrlButtonEx* button : m_window->findChildren<CCtrlButtonEx*>()) {
                if (!button->isVisible() || button->text().isEmpty()) {
                    continue;
                }
                ++captions;
                EXPECT_TRUE(button->CaptionFits())
                    << language.name << " at " << size.width() << "x" << size.height() << ": \""
                    << button->text().toStdString() << "\" in " << button->width() << " pixels";
            }
            EXPECT_GT(captions, 5) << language.name;
        }
        saveArtifact(m_window->grab().toImage(), (std::string("viewer-") + language.name + "-1920x1080.png").c_str());
    }
    m_app.ChangeLanguage(0x0409);
}

} // namespace
