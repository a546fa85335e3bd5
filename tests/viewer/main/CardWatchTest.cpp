// The card watch's decision: a signal from the settings program reloads only a loaded card that
// was opened at its drive root.
#include "viewer/main/CardWatch.h"

#include "viewer/app/ViewerCommands.h"
#include "viewer/main/PlaybackController.h"

#include <QObject>
#include <gtest/gtest.h>

namespace {

class NoView : public viewer::PlaybackView {
public:
    void ShowInfo(const char* /*key*/) override {}
    bool ConfirmDelete(const QString& /*fileName*/, bool /*playing*/) override { return false; }
    int ListRowCount() const override { return 0; }
    int ListSelectedRow() const override { return -1; }
    bool ListEntry(int /*row*/, CTimeList& /*entry*/) override { return false; }
    void ListSelectRow(int /*row*/) override {}
    void ListMarkNothingPlayed() override {}
    void ListRemoveEntry(int /*row*/, const CTimeList& /*entry*/) override {}
    void ListSetLoadState(int /*state*/) override {}
    void LoadStateChanged(int /*state*/) override {}
    void LayOutBoxes() override {}
    void MainChannelChanged(int /*channel*/) override {}
    void SetBoxTransform(int /*box*/, int /*transform*/) override {}
    void ShowPlayButton(bool /*show*/) override {}
    void ForgetPlayedEntry(bool /*lastFrameToo*/) override {}
};

bool everyPathIsADriveRoot(const QString& /*path*/) {
    return true;
}

bool noPathIsADriveRoot(const QString& /*path*/) {
    return false;
}

} // namespace

TEST(CardWatch, ReloadsOnlyALoadedCardOpenedAtItsDriveRoot) {
    QObject context;
    NoView view;
    viewer::PlaybackController playback(view);
    viewer::CardWatch watch(context, playback, [] {});
    watch.SetDriveRootTest(&everyPathIsADriveRoot);
    EXPECT_FALSE(watch.ShouldReload()); // nothing loaded

    playback.SetLoadedPath(QStringLiteral("/media/card"));
    playback.SetLoadState(viewer::kLoaded);
    EXPECT_TRUE(watch.ShouldReload());
    playback.SetLoadState(viewer::kPlaying);
    EXPECT_TRUE(watch.ShouldReload());

    watch.SetDriveRootTest(&noPathIsADriveRoot);
    EXPECT_FALSE(watch.ShouldReload());
}

TEST(CardWatch, TheFileSystemRootCountsAsADriveRoot) {
    QObject context;
    NoView view;
    viewer::PlaybackController playback(view);
    viewer::CardWatch watch(context, playback, [] {});
    playback.SetLoadedPath(QStringLiteral("/"));
    playback.SetLoadState(viewer::kLoaded);
    EXPECT_TRUE(watch.ShouldReload());
}
