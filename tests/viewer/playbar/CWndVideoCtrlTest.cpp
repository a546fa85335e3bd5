#include "viewer/playbar/CWndVideoCtrl.h"

#include "platform/bus/CommandTarget.h"
#include "skinctl/CCtrlButtonEx.h"
#include "skinctl/CCtrlSlider.h"
#include "skinres/CExImageManager.h"
#include "skinres/CExLangManager.h"
#include "skinres/CExWndPos.h"
#include "tests/support/QtTestApplication.h"
#include "viewer/app/ViewerCommands.h"
#include "viewer/app/ViewerContext.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace viewer;
using viewer::playbar::CWndVideoCtrl;

namespace {

const QString kSkin = QStringLiteral(TACHY_DATA_DIR "/skin");

class Recorder : public tachy::CommandTarget {
public:
    std::intptr_t command(unsigned /*message*/, std::uintptr_t code, std::intptr_t arg) override {
        sent.emplace_back(code, arg);
        return 0;
    }
    std::vector<std::pair<std::uintptr_t, std::intptr_t>> sent;
};

class CWndVideoCtrlTest : public ::testing::Test {
protected:
    CWndVideoCtrlTest() {
        tachy::test::testApplication();
        m_images.LoadImageFile(kSkin, kSkin + "/images.ini");
        m_positions.LoadInfo(kSkin, kSkin + "/position.ini");
        m_context = {0, &m_images, &m_positions, nullptr};
        m_panel = std::make_unique<CWndVideoCtrl>(m_context, m_owner);
        m_panel->resize(360, 72);
        m_panel->show();
    }

    CExImageManager m_images;
    CExWndPos m_positions;
    ViewerContext m_context;
    Recorder m_owner;
    std::unique_ptr<CWndVideoCtrl> m_panel;
};

} // namespace

TEST_F(CWndVideoCtrlTest, SlidersSendTheirValueOnMoveAndReleaseOnly) {
    CCtrlSlider* brightness = m_panel->BrightnessSlider();
    EXPECT_EQ(brightness->geometry(), QRect(44, 2, 308, 32));
    emit brightness->notify(CCtrlSlider::kNotifyPress, kSetBrightness, 60);
    emit brightness->notify(CCtrlSlider::kNotifyMove, kSetBrightness, 61);
    emit brightness->notify(CCtrlSlider::kNotifyRelease, kSetBrightness, 61);
    emit m_panel->ContrastSlider()->notify(CCtrlSlider::kNotifyRelease, kSetContrast, 30);
    EXPECT_EQ(m_owner.sent, (decltype(m_owner.sent){{kSetBrightness, 61}, {kSetBrightness, 61},
                                                     {kSetContrast, 30}}));
}

TEST_F(CWndVideoCtrlTest, ResetButtonsSendAndShowTheNeutralValue) {
    m_panel->SetValues(80, 20);
    EXPECT_TRUE(m_owner.sent.empty());
    m_panel->ResetButton(false)->click();
    EXPECT_EQ(m_panel->ContrastSlider()->GetPos(), 50);
    EXPECT_EQ(m_panel->BrightnessSlider()->GetPos(), 80);
    m_panel->ResetButton(true)->click();
    EXPECT_EQ(m_panel->BrightnessSlider()->GetPos(), 50);
    EXPECT_EQ(m_owner.sent, (decltype(m_owner.sent){{kSetContrast, 50}, {kSetBrightness, 50}}));
}
