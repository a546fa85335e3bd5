// The viewer's main window on cards of our own, off screen: opening, the list it fills, playing
// into the display boxes, the keys and commands that move through the list, the reload the
// settings program asks for, and screenshots of the window stopped and playing.

#include "tests/viewer/main/ViewerWindowFixture.h"

#include "engine/IIntrReplayEx.h"
#include "platform/ipc/NamedEvent.h"
#include "tests/support/TempFolder.h"
#include "tools/mkcard/CardGenerator.h"
#include "viewer/app/CTachyPlayerApp.h"
#include "display/CWndDisplay.h"
#include "viewer/boxes/CWndDisplayBox.h"
#include "viewer/list/CTabList.h"
#include "viewer/obd/CWndOBD.h"
#include "viewer/panels/CWndGSensor.h"
#include "viewer/playbar/CPlayCtrl.h"
#include "skinctl/CCtrlButtonEx.h"
#include "skinctl/CCtrlSlider.h"
#include "viewer/main/ViewerMessageBox.h"
#include "viewer/boxes/CWndFunc.h"
#include "viewer/map/CWndMap.h"

#include "tests/support/QtTestApplication.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QTest>
#include <atomic>
#include <gtest/gtest.h>

using tachy::test::TempFolder;
using namespace viewer_test;  // NOLINT(google-build-using-namespace): the fixture's helpers

namespace {

class ViewerMainWindow : public ViewerWindowFixture {};

} // namespace

TEST_F(ViewerMainWindow, OpeningACardListsItsRecordingsOldestFirstWithTheLastSelected) {
    ASSERT_TRUE(m_window->OpenPath(card()));
    EXPECT_EQ(m_window->LoadState(), viewer::kLoaded);
    EXPECT_EQ(m_window->LoadedPath(), card());
    CTabList& list = *m_window->List();
    ASSERT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(list.GetSelectedRow(), 2);
    std::int64_t previous = 0;
    for (int row = 0; row < 3; ++row) {
        CTimeList entry;
        ASSERT_TRUE(list.CopyEntry(row, entry));
        EXPECT_EQ(entry.m_nRecordMode[0], row);  // normal, event, parking in time order
        EXPECT_GT(entry.m_llStartTime[0], previous);
        previous = entry.m_llStartTime[0];
    }
}

TEST_F(ViewerMainWindow, AFolderWithoutRecordingsLeavesNothingLoaded) {
    const TempFolder empty;
    EXPECT_FALSE(m_window->OpenPath(QString::fromStdString(empty.path().string())));
    EXPECT_EQ(m_window->LoadState(), viewer::kNothingLoaded);
    EXPECT_EQ(m_window->List()->GetItemCount(), 0);
    m_window->Play();  // "message 002": nothing to play
    EXPECT_EQ(m_window->LoadState(), viewer::kNothingLoaded);
}

TEST_F(ViewerMainWindow, PlayShowsBothCamerasAndStopReturnsToLoaded) {
    if (kUnderThreadSanitizer) {
        GTEST_SKIP() << "needs playback to keep real time";
    }
    ASSERT_TRUE(m_window->OpenPath(card()));
    saveArtifact(m_window->grab().toImage(), "viewer-stopped.png");
    m_window->List()->SelectRow(0);
    m_window->Play();
    ASSERT_EQ(m_window->LoadState(), viewer::kPlaying);
    ASSERT_TRUE(waitFor([&] { return m_window->PicturesShown(0) >= 15 && m_window->PicturesShown(1) >= 15; }, 45000));
    // Paused within the first recording, the pictures and the marks stay for the checks.
    m_window->PauseOrResume();
    EXPECT_EQ(m_window->LoadState(), viewer::kPlaying);
    saveArtifact(m_window->grab().toImage(), "viewer-playing.png");
    // The front camera's driving data arrives with its pictures.
    EXPECT_TRUE(m_window->DrivingValues().hasRecord);
    EXPECT_EQ(m_window->List()->GetPlayedRow(), 0);
    m_window->StopPlayback();
    EXPECT_EQ(m_window->LoadState(), viewer::kLoaded);
    EXPECT_EQ(m_window->List()->GetPlayedRow(), -1);
}

TEST_F(ViewerMainWindow, PlayingToTheEndStopsByItself) {
    ASSERT_TRUE(m_window->OpenPath(card()));
    m_window->List()->SelectRow(2);  // the last recording
    m_window->Play();
    ASSERT_EQ(m_window->LoadState(), viewer::kPlaying);
    EXPECT_TRUE(waitFor([&] { return m_window->LoadState() == viewer::kLoaded; }, 60000));
}

TEST_F(ViewerMainWindow, NextAndPreviousFileWrapAroundTheListWhileStopped) {
    ASSERT_TRUE(m_window->OpenPath(card()));
    ASSERT_EQ(m_window->List()->GetSelectedRow(), 2);
    m_window->command(viewer::kUserMessage, viewer::kNextFile, 0);
    EXPECT_EQ(m_window->List()->GetSelectedRow(), 0);
    m_window->command(viewer::kUserMessage, viewer::kPreviousFile, 0);
    EXPECT_EQ(m_window->List()->GetSelectedRow(), 2);
    QTest::keyClick(m_window.get(), Qt::Key_PageDown);
    EXPECT_EQ(m_window->List()->GetSelectedRow(), 0);
}

TEST_F(ViewerMainWindow, NextFileOnTheLastRowWhilePlayingStops) {
    ASSERT_TRUE(m_window->OpenPath(card()));
    m_window->Play();  // from the last row
    ASSERT_TRUE(waitFor([&] { return m_window->PicturesShown(0) >= 3; }, 60000));
    m_window->command(viewer::kUserMessage, viewer::kNextFile, 0);
    EXPECT_EQ(m_window->LoadState(), viewer::kLoaded);
}

TEST_F(ViewerMainWindow, TheSettingsProgramsSignalReloadsACardRootOnly) {
    ASSERT_TRUE(m_window->OpenPath(card()));
    const int opens = m_window->OpenCount();
    tachy::NamedEvent access("IPC_SHARED_ACCESS");
    ASSERT_TRUE(access.isValid());
    m_window->SetDriveRootTest(&isFolder);
    folderChecks = 0;
    access.set();
    ASSERT_TRUE(waitFor([] { return folderChecks > 0; }, 30000));  // the signal was looked at
    QTest::qWait(200);
    EXPECT_EQ(m_window->OpenCount(), opens);
    m_window->SetDriveRootTest(&isDriveRoot);
    m_window->List()->SelectRow(1);
    access.set();
    ASSERT_TRUE(waitFor([&] { return m_window->OpenCount() == opens + 1; }, 30000));
    EXPECT_EQ(m_window->List()->GetSelectedRow(), 0);
}

TEST_F(ViewerMainWindow, VolumeAndPictureCommandsAreKept) {
    m_window->command(viewer::kUserMessage, viewer::kSetVolume, 140);
    EXPECT_EQ(m_window->command(viewer::kUserMessage, viewer::kGetVolume, 0), 100);
    QTest::keyClick(m_window.get(), Qt::Key_Down);
    EXPECT_EQ(m_window->command(viewer::kUserMessage, viewer::kGetVolume, 0), 99);
    m_window->command(viewer::kUserMessage, viewer::kSetBrightness, 70);
    EXPECT_EQ(m_window->Setup().brightness, 70);
}

TEST_F(ViewerMainWindow, DeletingTheCurrentFileTakesItOffTheCardAndTheList) {
    // A card of its own: the shared one stays whole for the other tests.
    const TempFolder copy;
    std::filesystem::copy(s_data->path() / "card", copy.path() / "card", std::filesystem::copy_options::recursive);
    const QString path = QString::fromStdString((copy.path() / "card").string());
    ASSERT_TRUE(m_window->OpenPath(path));
    m_window->List()->SelectRow(1);
    CTimeList entry;
    ASSERT_TRUE(m_window->List()->CopyEntry(1, entry));
    const std::string file = entry.CurrentPath(0);
    ASSERT_TRUE(std::filesystem::exists(file));

    m_window->command(viewer::kUserMessage, viewer::kDeleteCurrent, 0);  // answered Cancel
    EXPECT_TRUE(std::filesystem::exists(file));
    viewer::SetAutomaticAnswer(true, viewer::Answer::Ok);
    m_window->command(viewer::kUserMessage, viewer::kDeleteCurrent, 0);
    viewer::SetAutomaticAnswer(true, viewer::Answer::Cancel);
    EXPECT_FALSE(std::filesystem::exists(file));
    ASSERT_TRUE(waitFor([&] { return m_window->List()->GetItemCount() == 2; }, 45000));
    EXPECT_EQ(m_window->List()->GetSelectedRow(), 1);
}

TEST_F(ViewerMainWindow, MainChannelRotatesAndFlipAndMirrorFollowIt) {
    ASSERT_TRUE(m_window->OpenPath(card()));
    EXPECT_EQ(m_window->MainChannel(), 0);
    m_window->command(viewer::kUserMessage, viewer::kRotateMain, 0);
    EXPECT_EQ(m_window->MainChannel(), 1);
    m_window->command(viewer::kUserMessage, viewer::kRotateMain, 0);
    EXPECT_EQ(m_window->MainChannel(), 0);  // two channels: back to the front camera
    // Flip (bit 0) and mirror (bit 1) of the box at a frame position, counted from the main one.
    m_window->command(viewer::kUserMessage, viewer::kRotateMain, 0);
    m_window->command(viewer::kUserMessage, viewer::kFlip, 0);
    EXPECT_EQ(m_window->Box(1)->Display()->GetVidReverse(), 1);
    m_window->command(viewer::kUserMessage, viewer::kMirror, 0);
    EXPECT_EQ(m_window->Box(1)->Display()->GetVidReverse(), 3);
    m_window->command(viewer::kUserMessage, viewer::kFlip, 1);
    EXPECT_EQ(m_window->Box(0)->Display()->GetVidReverse(), 1);
}

TEST_F(ViewerMainWindow, EnterTogglesFullScreenOnlyWithSomethingLoaded) {
    QTest::keyClick(m_window.get(), Qt::Key_Return);
    EXPECT_FALSE(m_window->IsFullScreenShown());
    ASSERT_TRUE(m_window->OpenPath(card()));
    QTest::keyClick(m_window.get(), Qt::Key_Return);
    EXPECT_TRUE(m_window->IsFullScreenShown());
    QTest::keyClick(m_window.get(), Qt::Key_Escape);
    EXPECT_FALSE(m_window->IsFullScreenShown());
}

TEST_F(ViewerMainWindow, FullScreenWhilePausedShowsThePausedPicture) {
    ASSERT_TRUE(m_window->OpenPath(card()));
    // The recordings last a second and a half: on a loaded machine (or under a sanitizer) the
    // play can reach its end before the window gets to pause it, and the queued end of play then
    // stops it. Such a try says nothing about full screen: start again.
    int shown = 0;
    bool paused = false;
    for (int attempt = 0; attempt < 5 && !paused; ++attempt) {
        m_window->List()->SelectRow(0);
        m_window->Play();
        ASSERT_TRUE(waitFor([&] { return m_window->PicturesShown(0) >= 3; }, 120000));
        m_window->PauseOrResume();
        // A paused engine shows its pictures once; wait until that has happened.
        shown = m_window->PicturesShown(0);
        for (int still = 0; still < 30; shown = m_window->PicturesShown(0)) {
            QTest::qWait(20);
            still = m_window->PicturesShown(0) == shown ? still + 1 : 0;
        }
        paused = m_window->Engine()->GetPlayerState() == 8;
        if (!paused) {
            m_window->StopPlayback();
        }
    }
    ASSERT_TRUE(paused);
    QTest::keyClick(m_window.get(), Qt::Key_Return);
    ASSERT_TRUE(m_window->IsFullScreenShown());
    // The full-screen display gets the paused picture (it would stay black otherwise).
    EXPECT_TRUE(waitFor([&] { return m_window->PicturesShown(0) > shown; }, 60000))
        << "engine state " << m_window->Engine()->GetPlayerState() << ", load state " << m_window->LoadState();
    QTest::keyClick(m_window.get(), Qt::Key_Escape);
}

TEST_F(ViewerMainWindow, TheGraphAndTheVehiclePageFollowTheFrontPicture) {
    if (kUnderThreadSanitizer) {
        GTEST_SKIP() << "needs playback to keep real time";
    }
    // A card of its own whose recorder writes vehicle records.
    const TempFolder folder;
    mkcard::CardOptions options;
    options.rule = std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_A.ini";
    options.out = folder.path() / "card";
    options.channels = 1;
    options.seconds = 6;
    options.periodSeconds = 6;
    options.width = 96;
    options.height = 64;
    options.recordKind = 57;
    std::string error;
    ASSERT_TRUE(mkcard::generateCard(options, error)) << error;
    ASSERT_TRUE(m_window->OpenPath(QString::fromStdString(options.out.string())));
    m_window->Play();
    ASSERT_TRUE(waitFor([&] { return m_window->Graph()->CursorIndex() > 70; }, 45000));
    m_window->PauseOrResume();
    QApplication::processEvents();
    EXPECT_EQ(m_window->Graph()->State(), viewer::kPlaying);
    EXPECT_GT(m_window->Graph()->RecordCount(), 60);
    EXPECT_GT(m_window->Obd()->Values().speed, 0);
    EXPECT_GT(m_window->Obd()->Values().voltageTenths, 0);
    m_window->StopPlayback();
    EXPECT_EQ(m_window->Graph()->RecordCount(), 0);  // stopped: the graph is cleared
}

namespace {

// Runs `script` in the map page and waits for its value.
QVariant evaluateOnMap(viewer::map::CWndMap& map, const QString& script) {
    QVariant result;
    bool done = false;
    map.View()->page()->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    waitFor([&] { return done; }, 10000);
    return result;
}

QJsonArray evaluateJsonOnMap(viewer::map::CWndMap& map, const QString& script) {
    return QJsonDocument::fromJson(evaluateOnMap(map, script).toString().toUtf8()).array();
}

} // namespace

// The language file's map host is this machine (see SetUpTestSuite), so the map is online and
// follows the car.
TEST_F(ViewerMainWindow, TheMapPageFollowsTheCarAlongTheRoute) {
    if (kUnderThreadSanitizer) {
        GTEST_SKIP() << "needs playback to keep real time";
    }
    auto* map = dynamic_cast<viewer::map::CWndMap*>(m_window->Map());
    ASSERT_NE(map, nullptr);
    ASSERT_TRUE(waitFor([&] { return map->PageReady() && map->Online() == 1; }, 30000));
    // One recording of half a minute: a route long enough to be seen around the car.
    const TempFolder drive;
    mkcard::CardOptions options;
    options.rule = std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_A.ini";
    options.out = drive.path() / "card";
    options.channels = 2;
    options.seconds = 30;
    options.periodSeconds = 30;
    options.width = 96;
    options.height = 64;
    options.modes = {"normal"};
    std::string error;
    ASSERT_TRUE(mkcard::generateCard(options, error)) << error;
    ASSERT_TRUE(m_window->OpenPath(QString::fromStdString(options.out.string())));
    m_window->Func()->SelectTab(1);
    m_window->Play();
    const auto calls = [&] { return evaluateJsonOnMap(*map, QStringLiteral("JSON.stringify(tachyMap.calls)")); };
    ASSERT_TRUE(waitFor([&] { return !calls().isEmpty(); }, 45000));
    // Paused, the route and the car stay where they are for the checks.
    m_window->PauseOrResume();
    QTest::qWait(1000);  // the map's zoom animation
    saveArtifact(m_window->grab().toImage(), "viewer-map.png");

    // The route the page drew is the entry's positions; the car's position is one of them, the
    // level one of the speed levels, and the first call centres the map.
    const QJsonArray route = evaluateJsonOnMap(*map, QStringLiteral("JSON.stringify(tachyMapRoute())"));
    ASSERT_GE(route.size(), 20);
    const QJsonArray first = calls().at(0).toArray();
    bool onRoute = false;
    for (const QJsonValue& point : route) {
        onRoute = onRoute || (std::abs(point.toArray().at(0).toDouble() - first.at(0).toDouble()) < 2e-5 &&
                              std::abs(point.toArray().at(1).toDouble() - first.at(1).toDouble()) < 2e-5);
    }
    EXPECT_TRUE(onRoute) << first.at(0).toDouble() << ", " << first.at(1).toDouble();
    EXPECT_NEAR(first.at(0).toDouble(), 48.14, 0.05);  // the generator drives through Munich
    EXPECT_GE(first.at(2).toInt(), 10);
    EXPECT_LE(first.at(2).toInt(), 33);
    EXPECT_TRUE(first.at(3).toBool());

    // Stopping ends the updates and takes the route away.
    m_window->StopPlayback();
    EXPECT_EQ(map->IsUpdating(), 0);
    EXPECT_TRUE(waitFor([&] { return evaluateJsonOnMap(*map, QStringLiteral("JSON.stringify(tachyMapRoute())")).isEmpty(); },
                        5000));
}

TEST_F(ViewerMainWindow, ThePlayBarFollowsPlaybackAndSetsTheEnginesSpeed) {
    ASSERT_TRUE(m_window->OpenPath(card()));
    viewer::playbar::CPlayCtrl* bar = m_window->PlayCtrl();
    EXPECT_EQ(bar->geometry(), QRect(0, 696, 1280, 104));
    EXPECT_EQ(bar->TimeText(), "00:00/00:00");
    // The speed buttons and keys step the bar, and the window hands the bar's speed on.
    bar->Button(viewer::kSpeedUp)->click();
    EXPECT_DOUBLE_EQ(m_window->AppliedSpeed(), 1.5);
    QTest::keyClick(m_window.get(), Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(bar->SpeedStep(), 2);
    EXPECT_DOUBLE_EQ(m_window->AppliedSpeed(), 1.0);

    m_window->List()->SelectRow(0);
    bar->Button(viewer::kPlay)->click();
    ASSERT_EQ(m_window->LoadState(), viewer::kPlaying);
    EXPECT_TRUE(bar->Button(viewer::kPlay)->isHidden());
    const CCtrlSlider* slider = bar->Slider(viewer::playbar::CPlayCtrl::kPositionSlider);
    if (kUnderThreadSanitizer) {
        // The bar is fed from the engine's threads all the same; whether a poll catches the
        // slider away from 0 is up to the sanitizer's uneven slowdown, so only the end is checked.
        EXPECT_TRUE(waitFor([&] { return m_window->LoadState() == viewer::kLoaded; }, 120000));
        QApplication::processEvents();
        EXPECT_EQ(bar->TimeText(), "00:00/00:00");
        EXPECT_EQ(slider->GetPos(), 0);
        return;
    }
    // Slider and time label move with the front camera's frames.
    int firstPosition = 0;
    ASSERT_TRUE(waitFor([&] {
        firstPosition = slider->GetPos();
        return firstPosition > 0 || m_window->LoadState() != viewer::kPlaying;
    }, 60000));
    ASSERT_GT(firstPosition, 0);
    EXPECT_NE(bar->TimeText(), "00:00/00:00");
    EXPECT_GT(slider->GetRangeMax(), 0);
    EXPECT_TRUE(waitFor([&] {
        return slider->GetPos() != firstPosition || m_window->LoadState() != viewer::kPlaying;
    }, 60000));

    if (m_window->LoadState() == viewer::kPlaying) {
        bar->Button(viewer::kPause)->click();
        EXPECT_FALSE(bar->Button(viewer::kPlay)->isHidden());
        QApplication::processEvents();
        saveArtifact(m_window->grab().toImage(), "viewer-playbar.png");
        m_window->StopPlayback();
    }
    EXPECT_TRUE(waitFor([&] { return m_window->LoadState() == viewer::kLoaded; }, 60000));
    QApplication::processEvents();
    EXPECT_EQ(bar->TimeText(), "00:00/00:00");
    EXPECT_EQ(slider->GetPos(), 0);
}

TEST_F(ViewerMainWindow, InFullScreenThePlayBarRunsAlongTheBottomAndComesBackAfter) {
    ASSERT_TRUE(m_window->OpenPath(card()));
    viewer::playbar::CPlayCtrl* bar = m_window->PlayCtrl();
    const QRect normal = bar->geometry();
    QTest::keyClick(m_window.get(), Qt::Key_Return);
    ASSERT_TRUE(m_window->IsFullScreenShown());
    QApplication::processEvents();
    EXPECT_EQ(bar->geometry(), QRect(0, m_window->height() - 104, m_window->width(), 104));
    EXPECT_FALSE(bar->Button(viewer::kRestoreFromFull)->isHidden());
    EXPECT_TRUE(bar->Button(viewer::kFullScreen)->isHidden());
    bar->Button(viewer::kRestoreFromFull)->click();
    EXPECT_FALSE(m_window->IsFullScreenShown());
    QApplication::processEvents();
    EXPECT_EQ(bar->geometry(), normal);
    EXPECT_FALSE(bar->Button(viewer::kFullScreen)->isHidden());
}
