#include "tests/engine/SmallCard.h"

#include <gtest/gtest.h>

namespace tachy::test {

std::string smallCardRule() {
    return std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_A.ini";
}

mkcard::CardOptions smallCard(const std::filesystem::path& out, double seconds,
                              double periodSeconds) {
    mkcard::CardOptions options;
    options.rule = smallCardRule();
    options.out = out;
    options.width = 64;
    options.height = 48;
    options.seconds = seconds;
    options.periodSeconds = periodSeconds;
    options.keyInterval = 10;
    options.channels = 2;
    return options;
}

std::unique_ptr<IIntrReplayEx> openSmallCard(const std::filesystem::path& card,
                                             play::HeadlessViewer& viewer,
                                             std::size_t expectedEntries) {
    auto engine = IIntrReplayEx::Create();
    const bool opened = engine->Initialize(nullptr, IVideoDecoder::kFormatYuv) == 1;
    EXPECT_TRUE(opened) << "the engine did not start";
    if (!opened) {
        return nullptr;
    }
    engine->SetCallback(&play::HeadlessViewer::Callback, &viewer);
    engine->SetDbPath(card.string());
    engine->SetAviFileNameFormat(naming::ReadNameFormat(smallCardRule(), 2));
    const bool walked = engine->CheckRecordMode() == 1 && engine->procOpenList() == 1;
    EXPECT_TRUE(walked) << "the card's list was not walked";
    EXPECT_EQ(viewer.Entries().size(), expectedEntries);
    viewer.Clear();
    if (!walked) {
        engine->Release();
        return nullptr;
    }
    return engine;
}

} // namespace tachy::test
