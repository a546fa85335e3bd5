// Loading a card of each naming rule, in both file kinds, through the viewer's own rule search
// and the engine, as the loading dialog does.
#include "engine/IIntrReplayEx.h"
#include "picturedec/IVideoDecoder.h"
#include "platform/fs/DirectoryListing.h"
#include "tests/support/TempFolder.h"
#include "tools/mkcard/CardGenerator.h"
#include "tools/tachy-play/HeadlessViewer.h"
#include "viewer/main/NameRuleSearch.h"

#include <gtest/gtest.h>

using tachy::test::TempFolder;

namespace {

struct CardCase {
    std::string rule;
    bool av2;
};

void PrintTo(const CardCase& card, std::ostream* out) {
    *out << card.rule << (card.av2 ? " as .av2" : " as .avi");
}

std::string caseName(const testing::TestParamInfo<CardCase>& info) {
    return info.param.rule.substr(13, 1) + (info.param.av2 ? "_av2" : "_avi");
}

class CardLoading : public testing::TestWithParam<CardCase> {};

} // namespace

TEST_P(CardLoading, TheCardsOwnRuleIsFoundAndEveryPeriodListed) {
    const std::filesystem::path options = std::filesystem::path(TACHY_DATA_DIR) / "_option";
    TempFolder folder;
    mkcard::CardOptions card;
    card.rule = options / GetParam().rule;
    card.out = folder.path() / "card";
    card.av2 = GetParam().av2;
    card.channels = 2;
    card.width = 32;
    card.height = 32;
    card.audio = mkcard::CardOptions::Audio::None;
    card.seconds = 4;
    card.periodSeconds = 2;
    std::string error;
    ASSERT_TRUE(mkcard::generateCard(card, error)) << error;

    // The rules in the order the viewer lists them.
    std::vector<_AVI_NAME_FORMAT2> rules;
    std::vector<std::string> names;
    for (const auto& entry : tachy::DirectoryListing::list(options, "FileNameRule_*.ini")) {
        rules.push_back(naming::ReadNameFormat(options / entry.name, 2));
        names.push_back(entry.name);
    }
    ASSERT_EQ(names.size(), 3U);
    tachy::play::HeadlessViewer viewer;
    auto engine = IIntrReplayEx::Create();
    ASSERT_EQ(engine->Initialize(nullptr, IVideoDecoder::kFormatYuv), 1);
    engine->SetCallback(&tachy::play::HeadlessViewer::Callback, &viewer);
    engine->SetDbPath(card.out.string());
    const NameRuleMatch match = FindNameRule(*engine, rules);
    ASSERT_GE(match.rule, 0);
    EXPECT_EQ(names[static_cast<std::size_t>(match.rule)], GetParam().rule);
    EXPECT_GT(match.count, 0);
    ASSERT_EQ(engine->procOpenList(), 1);
    EXPECT_EQ(viewer.Entries().size(), 2U);
}

INSTANTIATE_TEST_SUITE_P(EachRuleBothKinds, CardLoading,
                         testing::Values(CardCase{"FileNameRule_A.ini", false}, CardCase{"FileNameRule_B.ini", false},
                                         CardCase{"FileNameRule_C.ini", false}, CardCase{"FileNameRule_A.ini", true},
                                         CardCase{"FileNameRule_B.ini", true}, CardCase{"FileNameRule_C.ini", true}),
                         caseName);
