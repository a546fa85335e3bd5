#include "platform/registry/Registry.h"
#include "platform/registry/RegistryStore.h"

#include "platform/debug/DebugOut.h"
#include "tests/support/TempFolder.h"

#include <fstream>
#include <gtest/gtest.h>

using tachy::Registry;
using tachy::RegistryHive;
using tachy::RegistryStore;
using tachy::test::readAll;

namespace {

void writeStore(RegistryHive hive, std::string_view bytes) {
    const auto path = Registry::storePath(hive);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace

TEST(Registry, StoresFollowTheXdgFolders) {
    EXPECT_EQ(Registry::storePath(RegistryHive::CurrentUser),
              std::filesystem::path(std::getenv("XDG_CONFIG_HOME")) / "tachy" / "registry.ini");
    EXPECT_EQ(Registry::storePath(RegistryHive::LocalMachine),
              std::filesystem::path(std::getenv("XDG_CONFIG_DIRS")) / "tachy" / "registry.ini");
}

TEST(Registry, WritesAndReadsBackBothTypesWithKeysMatchedWithoutCase) {
    Registry registry;
    ASSERT_TRUE(registry.writeDword("Software\\Tachy\\tachyPlayer\\VideoCtrl", "ColorMode", 0xFFFFFFFFU));
    ASSERT_TRUE(registry.writeString("Software\\Tachy\\TachySetup", "Path", "/media/a b\\c=d\n;e"));
    Registry reader;
    EXPECT_EQ(reader.readDword("software\\tachy\\TACHYPLAYER\\videoctrl\\", "colormode"), 0xFFFFFFFFU);
    EXPECT_EQ(reader.readString("\\Software\\\\Tachy\\TachySetup", "PATH"), "/media/a b\\c=d\n;e");
    EXPECT_TRUE(reader.keyExists("SOFTWARE\\tachy"));
    EXPECT_FALSE(reader.keyExists("Software\\Other"));
}

TEST(Registry, MissingValuesAndTypeMismatchesReadAsNothing) {
    Registry registry;
    ASSERT_TRUE(registry.writeString("K", "Text", "5"));
    EXPECT_FALSE(registry.readDword("K", "Text").has_value());
    EXPECT_FALSE(registry.readString("K", "Other").has_value());
    EXPECT_FALSE(registry.readString("Missing", "Text").has_value());
}

TEST(Registry, OverwritingKeepsOneValueAndOtherKeysIntact) {
    Registry registry;
    ASSERT_TRUE(registry.writeDword("A", "v", 1));
    ASSERT_TRUE(registry.writeDword("B", "v", 2));
    ASSERT_TRUE(registry.writeDword("a", "V", 3));
    EXPECT_EQ(registry.readDword("A", "v"), 3U);
    EXPECT_EQ(registry.readDword("B", "v"), 2U);
    const std::string stored = readAll(Registry::storePath(RegistryHive::CurrentUser));
    EXPECT_EQ(stored.find("=dword:1\n"), std::string::npos);
}

TEST(Registry, CorruptStoreReadsAsEmptyAndIsRewrittenWholeOnTheNextWrite) {
    writeStore(RegistryHive::CurrentUser, "[Software\\Tachy]\nColorMode=dword:12\ngarbage line\n");
    std::vector<std::string> lines;
    const auto previous = tachy::DebugOut::setSink([&](std::string_view line) { lines.emplace_back(line); });
    Registry registry;
    EXPECT_FALSE(registry.readDword("Software\\Tachy", "ColorMode").has_value());
    ASSERT_TRUE(registry.writeDword("Software\\Tachy", "Other", 7));
    tachy::DebugOut::setSink(previous);
    EXPECT_FALSE(lines.empty());
    const auto reparsed = RegistryStore::parse(readAll(Registry::storePath(RegistryHive::CurrentUser)));
    ASSERT_TRUE(reparsed.has_value());
    EXPECT_EQ(registry.readDword("Software\\Tachy", "Other"), 7U);
}

TEST(Registry, MachineStoreIsReadOnly) {
    writeStore(RegistryHive::LocalMachine, "[Software\\Tachy]\nInstall=sz:/opt/tachy\n");
    Registry machine(RegistryHive::LocalMachine);
    EXPECT_EQ(machine.readString("software\\tachy", "install"), "/opt/tachy");
    EXPECT_FALSE(machine.writeString("Software\\Tachy", "Install", "/elsewhere"));
    EXPECT_FALSE(machine.createKey("Software\\New"));
    EXPECT_EQ(machine.readString("Software\\Tachy", "Install"), "/opt/tachy");
}

TEST(RegistryStore, RejectsMalformedLines) {
    EXPECT_FALSE(RegistryStore::parse("v=dword:1\n").has_value());               // no key yet
    EXPECT_FALSE(RegistryStore::parse("[K]\nv=dword:x\n").has_value());          // not a number
    EXPECT_FALSE(RegistryStore::parse("[K]\nv=dword:4294967296\n").has_value()); // too big
    EXPECT_FALSE(RegistryStore::parse("[K]\nv=qword:1\n").has_value());          // unknown type
    EXPECT_FALSE(RegistryStore::parse("[K]\nv=sz:%4\n").has_value());            // cut escape
    EXPECT_FALSE(RegistryStore::parse("[K\n").has_value());
    EXPECT_TRUE(RegistryStore::parse("; comment\n\n[K]\nv=sz:\n").has_value());
}

TEST(RegistryStore, SerializedStoreParsesToTheSameValues) {
    RegistryStore store;
    store.set("Software\\[odd]", "name=with;specials", std::string("line\r\nbreak%"));
    store.set("Software\\[odd]", "n", std::uint32_t{4000000000U});
    store.createKey("Empty\\Key");
    const auto parsed = RegistryStore::parse(store.serialize());
    ASSERT_TRUE(parsed.has_value());
    const auto* text = parsed->find("software\\[ODD]", "NAME=WITH;SPECIALS");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::get<std::string>(*text), "line\r\nbreak%");
    EXPECT_EQ(std::get<std::uint32_t>(*parsed->find("Software\\[odd]", "n")), 4000000000U);
    EXPECT_TRUE(parsed->hasKey("empty\\key"));
}
