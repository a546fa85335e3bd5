#include "skinres/CExWndPos.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using tachy::test::TempFolder;

namespace {

const char* const kPositions = "[Main Frame]\r\n"
                               "id=100\r\nx=0\r\ny=0\r\nwidth=1280\r\nheight=800\r\n"
                               "stickToLeft=0\r\nstickToTop=0\r\nstickToRight=0\r\n"
                               "stickToBottom=0\r\nHCenter=1\r\n"
                               "ColorText=255,0,128,255\r\n"
                               "Color00=128,21,23,26\r\n"
                               "Color05=0,1,2,3\r\n"
                               "[No Position]\r\n"
                               "width=40\r\n"
                               "ColorText=255,0,0\r\n"
                               "Color01=255,61,139,253 and a comment that is far too long\r\n"
                               "Color02=0000000000000000000000000255,1,2,3\r\n";

QString positionFile(const TempFolder& folder) {
    return QString::fromStdString(folder.write("skin/position.ini", kPositions).string());
}

} // namespace

TEST(CExWndPos, ReadsEveryFieldOfAnElement) {
    const TempFolder folder;
    CExWndPos positions;
    EXPECT_EQ(positions.LoadInfo("ignored", positionFile(folder)), 1);
    const _WIN_POS* frame = positions.GetWinPos("Main Frame");
    EXPECT_EQ(frame->id, 100);
    EXPECT_EQ(frame->width, 1280);
    EXPECT_EQ(frame->height, 800);
    EXPECT_EQ(frame->stickToLeft, 0);
    EXPECT_EQ(frame->stickToBottom, 0);
    EXPECT_EQ(frame->HCenter, 1);
    EXPECT_EQ(frame->color[0], 0xFF0080FFu);
    EXPECT_EQ(frame->color[1], 0x8015171Au);
    EXPECT_EQ(frame->color[2], 0xFFFFFFFFu);  // Color01 absent
    EXPECT_EQ(frame->color[6], 0x00010203u);
}

TEST(CExWndPos, AbsentKeysGiveMinusOneZeroAndOpaqueWhite) {
    const TempFolder folder;
    CExWndPos positions;
    positions.LoadInfo("", positionFile(folder));
    const _WIN_POS* pos = positions.GetWinPos("No Position");
    EXPECT_EQ(pos->x, -1);
    EXPECT_EQ(pos->y, -1);
    EXPECT_EQ(pos->width, 40);
    EXPECT_EQ(pos->height, -1);
    EXPECT_EQ(pos->stickToLeft, -1);
    EXPECT_EQ(pos->stickToRight, -1);
    EXPECT_EQ(pos->HCenter, 0);
    // Three parts are not a colour; a colour text is read only as far as 31 characters.
    EXPECT_EQ(pos->color[0], 0xFFFFFFFFu);
    EXPECT_EQ(pos->color[2], 0xFF3D8BFDu);
    EXPECT_EQ(pos->color[3], 0xFFFFFFFFu);  // cut to "...0255,1," before it is parsed
}

TEST(CExWndPos, AbsentSectionGivesTheDefaultElement) {
    const TempFolder folder;
    CExWndPos positions;
    positions.LoadInfo("", positionFile(folder));
    const _WIN_POS* missing = positions.GetWinPos("Nothing Here");
    EXPECT_EQ(missing, positions.GetWinPos("main frame"));  // names keep their case
    EXPECT_EQ(missing->x, 0);
    EXPECT_EQ(missing->y, 0);
    EXPECT_EQ(missing->width, 0);
    EXPECT_EQ(missing->height, 0);
    EXPECT_EQ(missing->stickToLeft, -1);
    EXPECT_EQ(missing->stickToTop, -1);
    EXPECT_EQ(missing->stickToRight, -1);
    EXPECT_EQ(missing->stickToBottom, -1);
    EXPECT_EQ(missing->HCenter, 0);
    for (QRgb colour : missing->color) {
        EXPECT_EQ(colour, 0xFFFFFFFFu);
    }
}

TEST(CExWndPos, UnloadAndMissingFileLeaveOnlyTheDefault) {
    const TempFolder folder;
    CExWndPos positions;
    positions.LoadInfo("", positionFile(folder));
    EXPECT_EQ(positions.GetCount(), 2u);
    positions.UnloadInfo();
    EXPECT_EQ(positions.GetCount(), 0u);
    EXPECT_EQ(positions.GetWinPos("Main Frame")->width, 0);
    EXPECT_EQ(positions.LoadInfo("", "/nonexistent/position.ini"), 1);
    EXPECT_EQ(positions.GetCount(), 0u);
}

TEST(CExWndPos, BrokenFileGivesWhatCanBeRead) {
    const TempFolder folder;
    const QString file = QString::fromStdString(
        folder.write("broken.ini", std::string("x=5\n[Half\nwidth=abc\n[Ok]\nx=7\ny\n\xff\xfe=\n"))
            .string());
    CExWndPos positions;
    EXPECT_EQ(positions.LoadInfo("", file), 1);
    EXPECT_EQ(positions.GetWinPos("Ok")->x, 7);
    EXPECT_EQ(positions.GetWinPos("Ok")->y, -1);
}
