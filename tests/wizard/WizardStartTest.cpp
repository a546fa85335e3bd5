// The wizard's start: the option file with its own keys, the choice of language with its
// fallbacks, and the user folders.

#include "platform/folders/SpecialFolder.h"
#include "platform/registry/Registry.h"
#include "tests/wizard/WizardFixture.h"
#include "wizard/CTachyWizardApp.h"
#include "wizard/CWizardOption.h"

#include <gtest/gtest.h>

using tachy::test::TempFolder;

namespace {

// Stores the language identifier where the viewer keeps it for `title`.
void storeLanguage(const std::string& title, std::uint32_t id) {
    tachy::Registry registry;
    ASSERT_TRUE(registry.writeDword("Software\\" + title + "\\TachyPlayer\\Language", "ID", id));
}

std::string chosenFile(const CTachyWizardApp& app) {
    return app.Languages().Chosen().file.toStdString();
}

} // namespace

TEST(WizardOption, ReadsTheSkinRootFromSkinRootPathAndTheSettingsProgramKeys) {
    const TempFolder folder;
    folder.write("_option/option.ini", tachy::test::wizardOptionFile("Wizard Option"));
    CWizardOption option;
    ASSERT_TRUE(option.Load(folder.path() / "_option"));
    EXPECT_EQ(option.productId, 7);
    EXPECT_EQ(option.title, "Wizard Option");
    EXPECT_EQ(option.skinRootPath, "wizard-skin");
    EXPECT_EQ(option.langFolder, "lang");
    EXPECT_EQ(option.viewerExe, "tachyPlayer");
    EXPECT_EQ(option.setupModelName, "TACHY-700");
    EXPECT_EQ(option.setupCompanyName, "TACHY");
    EXPECT_EQ(option.setupStructureVer, "2.0");
    EXPECT_EQ(option.setupConfigType, 3);

    // "SetupConfigType" defaults to 1.
    folder.write("other/option.ini", "[Setting]\nSelect=0\n[AppInfo_0]\nProduct ID=0\nTitle=T\n");
    CWizardOption defaults;
    ASSERT_TRUE(defaults.Load(folder.path() / "other"));
    EXPECT_EQ(defaults.setupConfigType, 1);
    EXPECT_TRUE(defaults.skinRootPath.empty());
}

TEST(WizardOption, AMissingFileOrProductBlockEndsTheStart) {
    const TempFolder folder;
    CTachyWizardApp app;
    QString message;
    EXPECT_FALSE(app.InitInstance(folder.path(), message));
    EXPECT_EQ(message, QStringLiteral("option file is missing"));

    folder.write("_option/option.ini", "[Setting]\nSelect=3\n[AppInfo_0]\nProduct ID=0\n");
    CTachyWizardApp noBlock;
    message.clear();
    EXPECT_FALSE(noBlock.InitInstance(folder.path(), message));
    EXPECT_EQ(message, QStringLiteral("option file is missing"));
}

TEST(WizardLanguage, WithoutAnyLanguageFileTheEnglishFallbackPathIsUsed) {
    const TempFolder folder;
    folder.write("_option/option.ini", tachy::test::wizardOptionFile("Wizard NoLang"));
    CTachyWizardApp app;
    QString message;
    ASSERT_TRUE(app.InitInstance(folder.path(), message));
    const LanguageEntry& chosen = app.Languages().Chosen();
    EXPECT_EQ(chosen.file.toStdString(),
              (folder.path() / "lang" / "ENG" / "lang_eng.ini").string());
    EXPECT_EQ(chosen.name, QStringLiteral("English"));
    EXPECT_EQ(chosen.id, 1033);
    EXPECT_EQ(app.Languages().Entries().size(), 1U);
}

TEST(WizardLanguage, TheStoredLanguageIsTakenAndAnUnknownOneFallsBackToEnglish) {
    const TempFolder folder;
    folder.write("_option/option.ini", tachy::test::wizardOptionFile("Wizard Lang"));
    tachy::test::copyLanguage(folder.path() / "lang", "GER");
    tachy::test::copyLanguage(folder.path() / "lang", "ENG");
    tachy::test::copyLanguage(folder.path() / "lang", "KOR");
    const std::string english = (folder.path() / "lang" / "ENG" / "lang_eng.ini").string();

    storeLanguage("Wizard Lang", 1031);
    CTachyWizardApp german;
    QString message;
    ASSERT_TRUE(german.InitInstance(folder.path(), message));
    EXPECT_EQ(german.Languages().Chosen().id, 1031);
    EXPECT_EQ(german.Language().GetText(QStringLiteral("WizardTitle")),
              QStringLiteral("Tachy Player wird eingerichtet"));

    storeLanguage("Wizard Lang", 1036); // French: no such file
    CTachyWizardApp unknown;
    ASSERT_TRUE(unknown.InitInstance(folder.path(), message));
    EXPECT_EQ(chosenFile(unknown), english);
    EXPECT_EQ(unknown.Language().GetText(QStringLiteral("WizardTitle")),
              QStringLiteral("Preparing Tachy Player"));

    // Nothing stored: English, and the wizard leaves the value absent.
    const std::string other = "Wizard Lang Unset";
    folder.write("_option/option.ini", tachy::test::wizardOptionFile(other));
    CTachyWizardApp unset;
    ASSERT_TRUE(unset.InitInstance(folder.path(), message));
    EXPECT_EQ(chosenFile(unset), english);
    EXPECT_FALSE(tachy::Registry()
                     .readDword("Software\\" + other + "\\TachyPlayer\\Language", "ID")
                     .has_value());
}

TEST(WizardLanguage, AnUnknownLanguageWithoutEnglishInstalledAddsTheEnglishFallback) {
    const TempFolder folder;
    folder.write("_option/option.ini", tachy::test::wizardOptionFile("Wizard Korean"));
    tachy::test::copyLanguage(folder.path() / "lang", "KOR");
    storeLanguage("Wizard Korean", 1031);
    CTachyWizardApp app;
    QString message;
    ASSERT_TRUE(app.InitInstance(folder.path(), message));
    ASSERT_EQ(app.Languages().Entries().size(), 2U);
    EXPECT_EQ(app.Languages().Entries()[0].id, 1042);
    EXPECT_EQ(chosenFile(app), (folder.path() / "lang" / "ENG" / "lang_eng.ini").string());
}

TEST(WizardFolders, TheSettingsAndDocumentFoldersAreCreated) {
    const TempFolder folder;
    folder.write("_option/option.ini", tachy::test::wizardOptionFile("Wizard Folders"));
    CTachyWizardApp app;
    QString message;
    ASSERT_TRUE(app.InitInstance(folder.path(), message));
    using tachy::SpecialFolder;
    const auto appData = SpecialFolder::path(SpecialFolder::Kind::ApplicationData);
    const auto documents = SpecialFolder::path(SpecialFolder::Kind::Documents) / "TachyPlayerDoc";
    EXPECT_EQ(app.GetPaths().appPath, appData / "Wizard Folders");
    EXPECT_TRUE(std::filesystem::is_directory(appData / "Wizard Folders"));
    EXPECT_TRUE(std::filesystem::is_directory(documents / "backup"));
    EXPECT_TRUE(std::filesystem::is_directory(documents / "viewersetup"));
}
