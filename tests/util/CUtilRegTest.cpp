#include "util/CUtilReg.h"

#include "platform/registry/Registry.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

const std::string kVideoKey = "software\\Tachy\\tachyPlayer\\VideoCtrl";

} // namespace

TEST(CUtilReg, MissingDwordReturnsTheDefaultAndStoresIt) {
    CUtilReg reg;
    EXPECT_EQ(reg.ReadRegDWORD(kVideoKey, "ColorMode", 0xFFFFFFFFU), 0xFFFFFFFFU);
    // The default is stored: a second read with another default finds it.
    EXPECT_EQ(reg.ReadRegDWORD(kVideoKey, "ColorMode", 3), 0xFFFFFFFFU);
    ASSERT_EQ(reg.WriteRegDWORD(kVideoKey, "ColorMode", 1), 1);
    EXPECT_EQ(reg.ReadRegDWORD(kVideoKey, "colormode", 3), 1U);
}

TEST(CUtilReg, MissingStringReturnsTheDefaultAndStoresIt) {
    CUtilReg reg;
    EXPECT_EQ(reg.ReadRegString("Software\\Tachy\\TachyPlayer\\Language", "Name", "English"),
              "English");
    EXPECT_EQ(reg.ReadRegString("Software\\Tachy\\TachyPlayer\\Language", "Name", "other"),
              "English");
    ASSERT_EQ(reg.WriteRegString("Software\\Tachy\\TachyPlayer\\Language", "Name", "한국어"), 1);
    EXPECT_EQ(reg.ReadRegString("Software\\Tachy\\TachyPlayer\\Language", "Name", ""), "한국어");
}

TEST(CUtilReg, MachineHiveIsReadOnlyAndMissingValuesStayMissing) {
    const auto machine = tachy::Registry::storePath(tachy::RegistryHive::LocalMachine);
    std::filesystem::create_directories(machine.parent_path());
    std::ofstream(machine) << "[Software\\Tachy]\nLevel=dword:9\n";
    CUtilReg reg;
    EXPECT_EQ(reg.ReadRegDWORD("Software\\Tachy", "Level", 1, CUtilReg::kLocalMachine), 9U);
    EXPECT_EQ(reg.ReadRegDWORD("Software\\Tachy", "Missing", 5, CUtilReg::kLocalMachine), 5U);
    EXPECT_EQ(reg.WriteRegDWORD("Software\\Tachy", "Level", 2, CUtilReg::kLocalMachine), 0);
    EXPECT_EQ(reg.ReadRegString("Software\\Tachy", "Text", "d", CUtilReg::kLocalMachine), "d");
    // Nothing was added to either store.
    EXPECT_FALSE(tachy::Registry(tachy::RegistryHive::LocalMachine).readDword("Software\\Tachy", "Missing"));
    EXPECT_FALSE(tachy::Registry().readDword("Software\\Tachy", "Missing"));
    // Any other hive number is the user's store.
    EXPECT_EQ(reg.ReadRegDWORD("Software\\Tachy", "Level", 4, 7), 4U);
}

TEST(CUtilReg, UnwritableStoreStillAnswersTheDefault) {
    // A file where the store's folder should be: nothing can be written.
    const auto store = tachy::Registry::storePath(tachy::RegistryHive::CurrentUser);
    std::filesystem::remove_all(store.parent_path());
    std::filesystem::create_directories(store.parent_path().parent_path());
    std::ofstream(store.parent_path()) << "not a folder";
    CUtilReg reg;
    EXPECT_EQ(reg.ReadRegDWORD("K", "V", 11), 11U);
    EXPECT_EQ(reg.WriteRegDWORD("K", "V", 1), 0);
    std::filesystem::remove(store.parent_path());
}
