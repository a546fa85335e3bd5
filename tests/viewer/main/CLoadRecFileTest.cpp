// The loading dialog's message for a card that lists nothing: every stream file it could not
// list is named with its reason; a folder without stream files gives no message.
#include "viewer/main/CLoadRecFile.h"

#include "tests/support/TempFolder.h"
#include "tools/mkcard/CardGenerator.h"

#include <filesystem>
#include <gtest/gtest.h>

using tachy::test::TempFolder;

TEST(CLoadRecFile, NothingReadableMessageNamesEachFileAndWhy) {
    const std::filesystem::path options = std::filesystem::path(TACHY_DATA_DIR) / "_option";
    const std::vector<_AVI_NAME_FORMAT2> rules = {naming::ReadNameFormat(options / "FileNameRule_A.ini", 2)};
    TempFolder folder;
    const auto card = folder.path() / "card";
    EXPECT_TRUE(CLoadRecFile::NothingReadableMessage(QString::fromStdString(card.string()), rules).isEmpty());

    mkcard::CardOptions generated;
    generated.rule = options / "FileNameRule_A.ini";
    generated.out = card;
    generated.width = 32;
    generated.height = 32;
    generated.seconds = 2;
    generated.periodSeconds = 1;
    std::string error;
    ASSERT_TRUE(mkcard::generateCard(generated, error)) << error;
    const auto first = card / "normal" / "TCY_0001_20240229_130509_N_1.avi";
    const auto second = card / "normal" / "TCY_0002_20240229_130510_N_1.avi";
    ASSERT_TRUE(std::filesystem::exists(first));
    ASSERT_TRUE(std::filesystem::exists(second));
    std::filesystem::resize_file(first, 120);
    std::filesystem::resize_file(second, 0);
    std::filesystem::resize_file(second, 4000);  // zeros: no RIFF header

    const QString text = CLoadRecFile::NothingReadableMessage(QString::fromStdString(card.string()), rules);
    EXPECT_TRUE(text.startsWith(QStringLiteral("No recording in %1 can be played.").arg(card.string().c_str())))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromStdString(first.string() + ": too short to hold a recording (120 bytes)")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromStdString(second.string() + ": not an AVI file"))) << text.toStdString();
}
