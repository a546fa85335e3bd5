// The export dialogs as a user reaches them on a card of our own, off screen: the toolbar's
// Snapshot and Print buttons and F5/F6 while a card plays, the list's Back up and Delete
// buttons on checked recordings. Each dialog is driven through its own widgets once it is
// open; poppler's tools read the PDF the print dialog writes.

#include "tests/viewer/main/ViewerWindowFixture.h"

#include "engine/IIntrReplayEx.h"
#include "skinctl/CCtrlButtonEx.h"
#include "skinctl/CCtrlSkinList.h"
#include "viewer/dialogs/CBackup.h"
#include "viewer/dialogs/CDlgPrint.h"
#include "viewer/dialogs/CDoDelete.h"
#include "viewer/dialogs/CSnapshot.h"
#include "viewer/dialogs/PrintPreview.h"
#include "viewer/exports/PrintPageText.h"
#include "viewer/exports/RecordingFiles.h"
#include "viewer/exports/SnapshotPictureSet.h"
#include "viewer/list/CTabList.h"
#include "viewer/list/ListConstants.h"

#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

using namespace viewer_test; // NOLINT(google-build-using-namespace): the fixture's helpers
using viewer::dialogs::CBackup;
using viewer::dialogs::CDlgPrint;
using viewer::dialogs::CDoDelete;
using viewer::dialogs::CSnapshot;

namespace {

constexpr int kEnginePaused = 8;
constexpr int kEngineForward = 2;

void click(QWidget& parent, const char* name) {
    auto* button = parent.findChild<QPushButton*>(QString::fromLatin1(name));
    ASSERT_NE(button, nullptr) << name;
    ASSERT_TRUE(button->isEnabled()) << name;
    button->click();
}

QByteArray runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput();
}

std::string bytesOf(const std::filesystem::path& file) {
    std::ifstream stream(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

// Mean absolute difference of two pictures of one size, over the three colours.
double meanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * a.width() * a.height());
}

class ViewerExportFlow : public ViewerWindowFixture {
protected:
    void TearDown() override {
        viewer::SetAutomaticAnswer(true, viewer::Answer::Cancel);
        CDoDelete::SetRemoveFile(nullptr);
        ViewerWindowFixture::TearDown();
    }

    // Opens `path`, plays its first recording and waits for pictures of both cameras.
    void PlayFirstRecording(const QString& path) {
        ASSERT_TRUE(m_window->OpenPath(path));
        m_window->List()->SelectRow(0);
        m_window->Play();
        ASSERT_EQ(m_window->LoadState(), viewer::kPlaying);
        ASSERT_TRUE(waitFor(
            [&] { return m_window->PicturesShown(0) >= 3 && m_window->PicturesShown(1) >= 3; },
            30000));
    }

    CCtrlButtonEx& Toolbar(const char* name) {
        auto* button = m_window->findChild<CCtrlButtonEx*>(QString::fromLatin1(name));
        EXPECT_NE(button, nullptr) << name;
        return *button;
    }
    CCtrlButtonEx& ListButton(int id) {
        auto* button = m_window->List()->findChild<CCtrlButtonEx*>(QString::number(id));
        EXPECT_NE(button, nullptr) << id;
        return *button;
    }
    void CheckRow(int row) {
        auto* list = m_window->List()->findChild<CCtrlSkinList*>();
        ASSERT_NE(list, nullptr);
        QTest::mouseClick(list, Qt::LeftButton, {}, list->CheckRect(row).center());
    }
    std::vector<CTimeList> Entries(const std::vector<int>& rows) {
        std::vector<CTimeList> entries;
        for (const int row : rows) {
            CTimeList entry;
            EXPECT_TRUE(m_window->List()->CopyEntry(row, entry));
            entries.push_back(entry);
        }
        return entries;
    }
};

TEST_F(ViewerExportFlow, SnapshotWhilePlayingWritesOneJpegPerCameraAndPlaysOn) {
    if (kUnderThreadSanitizer) {
        GTEST_SKIP() << "needs playback to keep real time";
    }
    PlayFirstRecording(card());
    const TempFolder target;
    const QString folder = QString::fromStdString(target.path().string());
    int stateDuring = -1;
    viewer::exports::SnapshotPictureSet shown;
    QStringList written;
    whenOpen<CSnapshot>([&](CSnapshot& dialog) {
        stateDuring = m_window->Engine()->GetPlayerState();
        shown = viewer::exports::SnapshotPictureSet::FromEngine(*m_window->Engine());
        dialog.ChooseTarget(folder);
        click(dialog, "1"); // OK: save and close
        written = dialog.Written();
    });
    Toolbar("Snapshot").click();

    EXPECT_EQ(stateDuring, kEnginePaused);
    EXPECT_EQ(m_window->Engine()->GetPlayerState(), kEngineForward);
    EXPECT_EQ(viewer::LastMessageKey(), QStringLiteral("message 010"));
    ASSERT_EQ(written.size(), 2);
    EXPECT_TRUE(written[0].endsWith(QStringLiteral("_front.jpg"))) << written[0].toStdString();
    EXPECT_TRUE(written[1].endsWith(QStringLiteral("_rear.jpg"))) << written[1].toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 2);
    for (int channel = 0; channel < 2; ++channel) {
        const QImage file = QImage(written[channel], "JPEG").convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(file.isNull()) << written[channel].toStdString();
        EXPECT_EQ(file.size(), QSize(96, 64));
        // The file holds the engine's picture of that moment (the YUV conversion), up to JPEG.
        const QImage picture = shown.Picture(channel).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(picture.size(), file.size());
        EXPECT_LT(meanDifference(file, picture), 4.0) << channel;
    }
    EXPECT_EQ(m_window->Setup().latestJpegPath, folder.toStdString());
    std::filesystem::create_directories(TACHY_ARTIFACT_DIR);
    const std::filesystem::path artifact =
        std::filesystem::path(TACHY_ARTIFACT_DIR) / "snapshot-front.jpg";
    std::filesystem::copy_file(written[0].toStdString(), artifact,
                               std::filesystem::copy_options::overwrite_existing);
}

TEST_F(ViewerExportFlow, SnapshotAndPrintKeysNeedPlaybackAndPauseAroundTheirDialogs) {
    if (kUnderThreadSanitizer) {
        GTEST_SKIP() << "needs playback to keep real time";
    }
    ASSERT_TRUE(m_window->OpenPath(card()));
    for (const Qt::Key key : {Qt::Key_F5, Qt::Key_F6}) {
        QTest::keyClick(m_window.get(), key);
        EXPECT_EQ(viewer::LastMessageKey(), QStringLiteral("message 004")) << key;
    }
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    PlayFirstRecording(card());
    int printState = -1;
    whenOpen<CDlgPrint>([&](CDlgPrint& dialog) {
        printState = m_window->Engine()->GetPlayerState();
        click(dialog, "2");
    });
    QTest::keyClick(m_window.get(), Qt::Key_F5);
    EXPECT_EQ(printState, kEnginePaused);
    EXPECT_EQ(m_window->Engine()->GetPlayerState(), kEngineForward);

    int snapshotState = -1;
    whenOpen<CSnapshot>([&](CSnapshot& dialog) {
        snapshotState = m_window->Engine()->GetPlayerState();
        click(dialog, "2");
    });
    QTest::keyClick(m_window.get(), Qt::Key_F6);
    EXPECT_EQ(snapshotState, kEnginePaused);
    EXPECT_EQ(m_window->Engine()->GetPlayerState(), kEngineForward);
}

TEST_F(ViewerExportFlow, PrintSavedAsPdfHoldsTheFourSectionsAndWhatThePreviewShows) {
    if (kUnderThreadSanitizer) {
        GTEST_SKIP() << "needs playback to keep real time";
    }
    PlayFirstRecording(card());
    const TempFolder target;
    const QString pdf = QString::fromStdString((target.path() / "report.pdf").string());
    QImage preview;
    viewer::exports::PrintPageContent content;
    QString written;
    whenOpen<CDlgPrint>([&](CDlgPrint& dialog) {
        dialog.SetPdfPathChooser([&] { return pdf; });
        dialog.resize(640, 900); // a preview large enough to read in the artifact
        QApplication::processEvents();
        auto* memo = dialog.findChild<QLineEdit*>(QStringLiteral("1022"));
        ASSERT_NE(memo, nullptr);
        QTest::keyClicks(memo, QStringLiteral("Stopped at the crossing"));
        click(dialog, "1"); // a typed memo goes on the page first
        EXPECT_TRUE(memo->text().isEmpty());
        preview = dialog.Preview()->PageImage();
        content = dialog.Page().Content();
        // Without an installed printer, Print saves the page as a PDF; with one, the PDF button.
        click(dialog, CDlgPrint::HasPrinter() ? "pdf" : "1");
        written = dialog.PdfPath();
    });
    Toolbar("Print").click();

    ASSERT_EQ(written, pdf);
    EXPECT_EQ(content.memo, QStringLiteral("Stopped at the crossing"));
    EXPECT_TRUE(content.pictures.HasPicture(0));
    EXPECT_TRUE(content.pictures.HasPicture(1));
    const QString text = QString::fromUtf8(
        runTool(QStringLiteral("pdftotext"),
                {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")}));
    using viewer::exports::PrintPageText;
    for (const QString& expected :
         {QStringLiteral("Driving report"), QStringLiteral("Time"),
          QStringLiteral("Position and speed"), QStringLiteral("G-sensor"),
          PrintPageText::Time(content.second),
          PrintPageText::Position(content.latitude, content.longitude, content.speed),
          PrintPageText::GSensor(content.gSensorX, content.gSensorY, content.gSensorZ),
          QStringLiteral("Stopped at the crossing")}) {
        EXPECT_FALSE(expected.isEmpty());
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << "\n"
                                             << text.toStdString();
    }

    // The PDF's page at the preview's size shows what the preview showed.
    ASSERT_FALSE(preview.isNull());
    const QString stem = QString::fromStdString((target.path() / "page").string());
    runTool(QStringLiteral("pdftoppm"),
            {QStringLiteral("-png"), QStringLiteral("-singlefile"), QStringLiteral("-scale-to-x"),
             QString::number(preview.width()), QStringLiteral("-scale-to-y"),
             QString::number(preview.height()), pdf, stem});
    const QImage page = QImage(stem + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(page.size(), preview.size());
    EXPECT_LT(meanDifference(page, preview.convertToFormat(QImage::Format_RGB32)), 6.0);
    saveArtifact(preview, "print-preview.png");
}

TEST_F(ViewerExportFlow, BackupCopiesEveryCameraOnceAndAskFirstForAnotherFolder) {
    ASSERT_TRUE(m_window->OpenPath(card()));
    // Nothing checked: the user is told to check rows first.
    ListButton(tachy::viewer::kSaveButtonId).click();
    EXPECT_EQ(viewer::LastMessageKey(), QStringLiteral("message 011"));

    CheckRow(0);
    CheckRow(2);
    const std::vector<CTimeList> entries = Entries({0, 2});
    const auto files = tachy::viewer::RecordingFiles::OfEntries(entries);
    ASSERT_EQ(files.size(), 4u); // two cameras each
    const TempFolder first;
    const TempFolder second;
    viewer::SetAutomaticAnswer(true, viewer::Answer::Cancel);
    int fileCount = 0;
    int runsAfterRepeat = -1;
    int runsAfterDeclined = -1;
    int runsAfterAccepted = -1;
    whenOpen<CBackup>([&](CBackup& dialog) {
        fileCount = dialog.FileCount();
        dialog.ChooseTarget(QString::fromStdString(first.path().string()));
        click(dialog, "1001"); // copies
        EXPECT_EQ(viewer::LastMessageKey(), QStringLiteral("backup message4"));
        click(dialog, "1001"); // the same folder again: nothing to do
        runsAfterRepeat = dialog.CopyRuns();
        dialog.ChooseTarget(QString::fromStdString(second.path().string()));
        click(dialog, "1001"); // asks first; answered Cancel
        EXPECT_EQ(viewer::LastMessageKey(), QStringLiteral("backup message3"));
        runsAfterDeclined = dialog.CopyRuns();
        viewer::SetAutomaticAnswer(true, viewer::Answer::Ok);
        click(dialog, "1"); // asks again, answered OK: copies, then closes
        runsAfterAccepted = dialog.CopyRuns();
    });
    ListButton(tachy::viewer::kSaveButtonId).click();

    EXPECT_EQ(fileCount, 4);
    EXPECT_EQ(runsAfterRepeat, 1);
    EXPECT_EQ(runsAfterDeclined, 1);
    EXPECT_EQ(runsAfterAccepted, 2);
    for (const TempFolder* folder : {&first, &second}) {
        std::size_t count = 0;
        for (const auto& item : std::filesystem::directory_iterator(folder->path())) {
            (void)item;
            ++count;
        }
        EXPECT_EQ(count, files.size()); // no temporary left, nothing twice
        for (const auto& file : files) {
            const auto copy = folder->path() / file.filename();
            ASSERT_TRUE(std::filesystem::exists(copy)) << copy;
            EXPECT_EQ(bytesOf(copy), bytesOf(file)) << copy;
        }
    }
    EXPECT_EQ(m_window->Setup().latestBackupPath, second.path().string());
}

TEST_F(ViewerExportFlow, DeleteRemovesEveryCamerasFilesRebuildsTheListAndNamesWhatStayed) {
    const TempFolder copy;
    std::filesystem::copy(card().toStdString(), copy.path() / "card",
                          std::filesystem::copy_options::recursive);
    PlayFirstRecording(QString::fromStdString((copy.path() / "card").string()));
    CheckRow(0);
    CheckRow(1);
    const std::vector<CTimeList> entries = Entries({0, 1});
    CTimeList kept;
    ASSERT_TRUE(m_window->List()->CopyEntry(2, kept));
    // The system refuses to delete one file: as if it were write-protected.
    const std::filesystem::path protectedFile = entries[1].CurrentPath(1);
    std::vector<std::filesystem::path> tried;
    CDoDelete::SetRemoveFile([&](const std::filesystem::path& file, std::error_code& error) {
        tried.push_back(file);
        if (file == protectedFile) {
            error = std::make_error_code(std::errc::permission_denied);
            return false;
        }
        return std::filesystem::remove(file, error);
    });

    viewer::SetAutomaticAnswer(true, viewer::Answer::Cancel);
    ListButton(tachy::viewer::kDeleteButtonId).click(); // the question answered Cancel
    EXPECT_EQ(viewer::LastMessageKey(), QStringLiteral("del message1"));
    EXPECT_TRUE(tried.empty());
    EXPECT_EQ(m_window->LoadState(), viewer::kPlaying);

    viewer::SetAutomaticAnswer(true, viewer::Answer::Ok);
    testing::internal::CaptureStderr(); // automatic answers write their boxes there
    ListButton(tachy::viewer::kDeleteButtonId).click();
    const std::string boxes = testing::internal::GetCapturedStderr();
    EXPECT_EQ(viewer::LastMessageKey(), QStringLiteral("del message2"));
    // Three of the four files were deleted; the fourth is named.
    EXPECT_NE(boxes.find("3 files were deleted."), std::string::npos) << boxes;
    EXPECT_NE(boxes.find("These files could not be deleted:\n" + protectedFile.string()),
              std::string::npos)
        << boxes;
    EXPECT_EQ(m_window->LoadState(), viewer::kLoaded); // playback stopped first
    EXPECT_EQ(tried.size(), 4u);
    for (const auto& file : tachy::viewer::RecordingFiles::OfEntries(entries)) {
        EXPECT_EQ(std::filesystem::exists(file), file == protectedFile) << file;
    }
    // Both rows are gone, the protected one too; the list starts at its first row again.
    CTabList& list = *m_window->List();
    ASSERT_EQ(list.GetItemCount(), 1);
    CTimeList remaining;
    ASSERT_TRUE(list.CopyEntry(0, remaining));
    EXPECT_EQ(remaining.CurrentPath(0), kept.CurrentPath(0));
    EXPECT_EQ(list.GetSelectedRow(), 0);
    EXPECT_EQ(list.GetCheckedCount(), 0);
}

} // namespace

namespace {

TEST_F(ViewerExportFlow, ProgressDialogIgnoresEscAndEnterAndOnCloseStopsAfterTheCurrentRecording) {
    const TempFolder copy;
    std::filesystem::copy(card().toStdString(), copy.path() / "card",
                          std::filesystem::copy_options::recursive);
    ASSERT_TRUE(m_window->OpenPath(QString::fromStdString((copy.path() / "card").string())));
    const std::vector<CTimeList> entries = Entries({0, 1, 2});
    // The first file's removal waits until the test has pressed its keys and Cancel.
    std::atomic<bool> entered{false};
    std::atomic<bool> release{false};
    CDoDelete::SetRemoveFile([&](const std::filesystem::path& file, std::error_code& error) {
        entered = true;
        while (!release) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return std::filesystem::remove(file, error);
    });
    CDoDelete progress(m_app.Language(), entries, m_window.get());
    bool keysIgnored = false;
    bool visibleAfterClose = false;
    whenOpen<CDoDelete>([&](CDoDelete& dialog) {
        ASSERT_TRUE(waitFor([&] { return entered.load(); }, 10000));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QTest::keyClick(&dialog, Qt::Key_Return);
        auto* cancel = dialog.findChild<QPushButton*>(QStringLiteral("2"));
        ASSERT_NE(cancel, nullptr);
        keysIgnored = dialog.isVisible() && cancel->isEnabled();
        // Closing the window asks the worker to stop, as Cancel does; the dialog stays until
        // the worker has stopped.
        dialog.close();
        visibleAfterClose = dialog.isVisible() && !cancel->isEnabled();
        release = true;
    });
    progress.exec();

    EXPECT_TRUE(keysIgnored);
    EXPECT_TRUE(visibleAfterClose);
    EXPECT_TRUE(progress.Finished());
    const tachy::viewer::DeleteResult& result = progress.Result();
    EXPECT_TRUE(result.cancelled);
    // The recording in hand was finished: both its cameras' files; nothing of the others.
    EXPECT_EQ(result.removedEntries, std::vector<std::size_t>{0});
    EXPECT_EQ(result.deletedFiles, 2);
    for (const std::size_t index : {1U, 2U}) {
        for (const auto& file : tachy::viewer::RecordingFiles::OfEntry(entries[index])) {
            EXPECT_TRUE(std::filesystem::exists(file)) << file;
        }
    }
}

} // namespace
