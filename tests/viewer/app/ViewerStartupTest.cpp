// The viewer's start-up on a program folder of our own making: what stops it, which language it
// picks, the preferences it keeps, and where the skin's elements go.

#include "viewer/app/CTachyPlayerApp.h"
#include "viewer/app/CTachyPlayerSetup.h"
#include "viewer/app/WindowLayout.h"

#include "platform/profile/ProfileFile.h"
#include "skinres/CExWndPos.h"
#include "tests/support/TempFolder.h"
#include "util/CUtilReg.h"

#include "tests/support/QtTestApplication.h"

#include <QApplication>
#include <gtest/gtest.h>

using tachy::test::TempFolder;

namespace {

// A program folder holding a copy of the installation data.
class ProgramFolder {
public:
    ProgramFolder() {
        std::filesystem::copy(TACHY_DATA_DIR, m_folder.path(), std::filesystem::copy_options::recursive);
    }
    const std::filesystem::path& path() const { return m_folder.path(); }
    void setOption(const std::string& section, const std::string& key, const std::string& value) const {
        tachy::ProfileFile file = tachy::ProfileFile::load(path() / "_option" / "option.ini");
        ASSERT_TRUE(file.writeString(section, key, value));
    }
    // A language file of our own with the given identifier.
    void addLanguage(const std::string& folder, const std::string& name, const std::string& id) const {
        m_folder.write("lang/" + folder + "/lang_x.ini",
                       "[Language Info]\nLanguageName=" + name + "\nLanguageID=" + id + "\n[AppMain]\nx=14,X\n");
    }

private:
    TempFolder m_folder;
};

QApplication& application() {
    return tachy::test::testApplication();
}

CTachyPlayerApp::Start start(const ProgramFolder& folder, CTachyPlayerApp& app, QString& message) {
    application();
    return app.InitInstance(folder.path(), message);
}

} // namespace

TEST(ViewerStartup, StartsOnTheInstalledData) {
    const ProgramFolder folder;
    CTachyPlayerApp app;
    QString message;
    ASSERT_EQ(start(folder, app, message), CTachyPlayerApp::Start::Ready) << message.toStdString();
    EXPECT_EQ(app.Option().productId, app.Context().modelCode);
    EXPECT_FALSE(app.NameRules().empty());
    EXPECT_NE(app.Images().GetImageFile(QStringLiteral("list_row")), nullptr);
    EXPECT_TRUE(std::filesystem::is_directory(app.GetPaths().backupFolder));
    EXPECT_TRUE(std::filesystem::is_directory(app.GetPaths().logFolder));
    EXPECT_EQ(app.GetPaths().appPath.filename().string(), app.Option().title);
    ASSERT_NE(app.Languages().CurrentEntry(), nullptr);
}

TEST(ViewerStartup, FailuresStopWithTheirMessageOrSilently) {
    {
        const ProgramFolder folder;
        std::filesystem::remove(folder.path() / "_option" / "option.ini");
        CTachyPlayerApp app;
        QString message;
        EXPECT_EQ(start(folder, app, message), CTachyPlayerApp::Start::Failed);
        EXPECT_EQ(message, QStringLiteral("option file is missing"));
    }
    {
        // "Select" names a block that is not there: the product ID reads -1.
        const ProgramFolder folder;
        folder.setOption("Setting", "Select", "77");
        CTachyPlayerApp app;
        QString message;
        EXPECT_EQ(start(folder, app, message), CTachyPlayerApp::Start::Failed);
        EXPECT_EQ(message, QStringLiteral("option file is missing"));
    }
    {
        const ProgramFolder folder;
        folder.setOption("AppInfo_1", "SkinImageFileName", "none.ini");
        CTachyPlayerApp app;
        QString message;
        EXPECT_EQ(start(folder, app, message), CTachyPlayerApp::Start::Failed);
        EXPECT_EQ(message, QStringLiteral("There are no image files. This program is going to be closed"));
    }
    {
        const ProgramFolder folder;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path() / "_option")) {
            if (entry.path().filename().string().starts_with("FileNameRule_")) {
                std::filesystem::remove(entry.path());
            }
        }
        CTachyPlayerApp app;
        QString message;
        EXPECT_EQ(start(folder, app, message), CTachyPlayerApp::Start::Failed);
        EXPECT_TRUE(message.isEmpty());
    }
}

TEST(ViewerStartup, ASecondViewerLeavesSilently) {
    const ProgramFolder folder;
    CTachyPlayerApp first;
    CTachyPlayerApp second;
    QString message;
    ASSERT_EQ(start(folder, first, message), CTachyPlayerApp::Start::Ready);
    EXPECT_EQ(start(folder, second, message), CTachyPlayerApp::Start::Failed);
    EXPECT_TRUE(message.isEmpty());
}

TEST(ViewerLanguage, TheProfileChoosesAndEnglishCatchesTheRest) {
    const ProgramFolder folder;
    CTachyPlayerApp app;
    QString message;
    CUtilReg registry;
    registry.WriteRegDWORD("Software\\Tachy Player\\Language", "ID", 1031);
    ASSERT_EQ(start(folder, app, message), CTachyPlayerApp::Start::Ready);
    EXPECT_EQ(app.Languages().CurrentEntry()->id, 1031);
    // A language no longer installed: English.
    ASSERT_TRUE(app.ChangeLanguage(1036));
    EXPECT_EQ(app.Languages().CurrentEntry()->id, LanguageTable::kEnglish);
    EXPECT_EQ(registry.ReadRegDWORD("Software\\Tachy Player\\Language", "ID", 0), 1036U);
}

TEST(ViewerLanguage, SelectionRules) {
    application();
    const ProgramFolder folder;
    CExLangManager manager;
    const QString root = QString::fromStdString((folder.path() / "lang").string());
    // Two files with one identifier: the first found (folder "AAA" sorts first) wins.
    folder.addLanguage("AAA", "First German", "0x0407");
    LanguageTable table;
    table.Build(root, manager);
    table.Select(1031, 0);
    EXPECT_EQ(table.CurrentEntry()->name, QStringLiteral("First German"));
    // 0 in the profile is the desktop's language.
    table.Select(0, 1042);
    EXPECT_EQ(table.CurrentEntry()->id, 1042);
    // An identifier of 0 does not count as a language.
    folder.addLanguage("ZZZ", "Nothing", "0");
    table.Build(root, manager);
    EXPECT_EQ(table.Entries().size(), 4U);

    // No English installed and a missing identifier: the built-in English is added.
    std::filesystem::remove_all(folder.path() / "lang" / "ENG");
    table.Build(root, manager);
    const std::size_t before = table.Entries().size();
    table.Select(1036, 0);
    ASSERT_EQ(table.Entries().size(), before + 1);
    EXPECT_EQ(table.CurrentEntry()->name, QStringLiteral("English"));
    EXPECT_TRUE(table.CurrentEntry()->file.endsWith(QStringLiteral("/ENG/lang_eng.ini")));

    // One language only: taken whatever the profile says; none: the fallback.
    LanguageTable empty;
    empty.Build(QString::fromStdString((folder.path() / "nowhere").string()), manager);
    EXPECT_EQ(empty.Select(1031, 0), 0);
    EXPECT_EQ(empty.CurrentEntry()->id, LanguageTable::kEnglish);
}

TEST(ViewerSetup, PreferencesRoundTripAndTheColourModeLivesInTheRegistry) {
    const TempFolder folder;
    CTachyPlayerSetup unloaded;
    EXPECT_FALSE(unloaded.Save());  // nothing written before a load
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "AppSetup.ini"));

    CTachyPlayerSetup setup;
    setup.Load(folder.path(), "Tachy Test");
    EXPECT_EQ(setup.nZoomMode, 2);
    EXPECT_EQ(setup.volume, 100);
    EXPECT_EQ(setup.colorMode, -1);
    EXPECT_FALSE(setup.latestPath.empty());  // the picker's starting place
    setup.volume = 35;
    setup.mute = 1;
    setup.latestBackupPath = "/media/card/backup, with comma";
    setup.colorMode = 2;
    ASSERT_TRUE(setup.Save());

    CTachyPlayerSetup again;
    again.Load(folder.path(), "Tachy Test");
    EXPECT_EQ(again.volume, 35);
    EXPECT_EQ(again.mute, 1);
    EXPECT_EQ(again.latestBackupPath, "/media/card/backup, with comma");
    EXPECT_EQ(again.colorMode, 2);

    folder.write("AppSetup.ini", "[Global]\nVolume=250\n");
    again.Load(folder.path(), "Tachy Test");
    EXPECT_EQ(again.volume, 100);
}

TEST(ViewerLayout, AnchorsAndCentring) {
    _WIN_POS position;
    position.x = 10;
    position.y = 20;
    position.width = 100;
    position.height = 30;
    EXPECT_EQ(viewer::LayoutRect(position, 800, 600), QRect(10, 20, 100, 30));
    position.stickToLeft = 5;
    EXPECT_EQ(viewer::LayoutRect(position, 800, 600), QRect(15, 20, 100, 30));
    position.stickToLeft = -1;
    position.stickToRight = 40;
    position.stickToBottom = 8;
    EXPECT_EQ(viewer::LayoutRect(position, 800, 600), QRect(660, 562, 100, 30));
    position.stickToLeft = 5;
    position.stickToTop = 2;
    EXPECT_EQ(viewer::LayoutRect(position, 800, 600), QRect(QPoint(15, 22), QPoint(759, 591)));
    _WIN_POS centred;
    centred.width = 100;
    centred.height = 10;
    centred.HCenter = 1;
    EXPECT_EQ(viewer::LayoutRect(centred, 800, 600).left(), 350);
    centred.stickToLeft = 30;
    EXPECT_EQ(viewer::LayoutRect(centred, 800, 600).left(), 320);
    centred.stickToLeft = -1;
    centred.stickToRight = 30;
    EXPECT_EQ(viewer::LayoutRect(centred, 800, 600).left(), 380);
}

TEST(ViewerLayout, TheMainWindowScalesFromTheDesignSize) {
    EXPECT_DOUBLE_EQ(viewer::LayoutScale(640, 600, 1280, 800), 0.5);
    EXPECT_DOUBLE_EQ(viewer::LayoutScale(2560, 800, 1280, 800), 1.0);
    EXPECT_DOUBLE_EQ(viewer::LayoutScale(100, 100, 0, 800), 1.0);
    _WIN_POS position;
    position.x = 101;
    position.y = 51;
    position.width = 201;
    position.height = 31;
    position.stickToRight = 21;
    // Figures truncated after scaling; the anchor scales too.
    EXPECT_EQ(viewer::ScaledLayoutRect(position, 640, 400, 0.5), QRect(640 - 10 - 100, 25, 100, 15));
}
