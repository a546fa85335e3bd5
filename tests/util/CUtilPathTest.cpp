#include "util/CUtilPath.h"

#include "tests/support/TempFolder.h"

#include <QApplication>
#include <QFileDialog>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using tachy::test::TempFolder;

namespace {

// Answers the next file dialog that opens: `choose` inspects and accepts or rejects it.
void answerNextDialog(std::function<void(QFileDialog&)> choose) {
    QTimer::singleShot(0, [choose = std::move(choose)] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<QFileDialog*>(widget); dialog && dialog->isVisible()) {
                choose(*dialog);
                return;
            }
        }
        ADD_FAILURE() << "no file dialog opened";
    });
}

class CUtilPathDialogs : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "tests";
        static char* argv[] = {name, nullptr};
        s_application = new QApplication(argc, argv);  // NOLINT(cppcoreguidelines-owning-memory)
    }
    static void TearDownTestSuite() {
        delete s_application;  // NOLINT(cppcoreguidelines-owning-memory)
        s_application = nullptr;
    }

private:
    static inline QApplication* s_application = nullptr;
};

} // namespace

TEST(CUtilPath, RemoveAllDeletesFilesButNotFoldersOrTheirContent) {
    const TempFolder folder;
    folder.write("a.avi", "1");
    folder.write("B.JPG", "2");
    folder.write("sub/keep.txt", "3");
    CUtilPath path;
    EXPECT_EQ(path.RemoveAll(folder.path().string()), 1);
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "a.avi"));
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "B.JPG"));
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "sub" / "keep.txt"));
    EXPECT_EQ(path.RemoveAll((folder.path() / "missing").string()), 0);
}

TEST(CUtilPath, ConvertsWindowsFiltersToQtFilters) {
    EXPECT_EQ(CUtilPath::QtFilter("AVI Files (*.avi)|*.avi|All Files (*.*)|*.*||"),
              "AVI Files (*.avi) (*.avi);;All Files (*.*) (*.*)");
    EXPECT_EQ(CUtilPath::QtFilter("Pictures|*.jpg;*.bmp||"), "Pictures (*.jpg *.bmp)");
    EXPECT_EQ(CUtilPath::QtFilter("Images (*.png)"), "Images (*.png)");
}

TEST(CUtilPath, PickersAnswerZeroWithoutAnApplication) {
    std::string result = "unchanged";
    CUtilPath path;
    EXPECT_EQ(path.SelectFolder(nullptr, result), 0);
    EXPECT_EQ(path.SelectFile(nullptr, "", "", result, 1), 0);
    EXPECT_EQ(result, "unchanged");
}

TEST_F(CUtilPathDialogs, SelectFolderReturnsTheChosenFolderWithTheGivenTexts) {
    const TempFolder folder;
    std::filesystem::create_directories(folder.path() / "backup");
    QString title;
    QString okText;
    bool readOnly = false;
    answerNextDialog([&](QFileDialog& dialog) {
        title = dialog.windowTitle();
        okText = dialog.labelText(QFileDialog::Accept);
        readOnly = dialog.testOption(QFileDialog::ReadOnly);
        dialog.selectFile(QString::fromStdString((folder.path() / "backup").string()));
        static_cast<QDialog&>(dialog).accept();  // accept() is protected in QFileDialog
    });
    std::string result;
    CUtilPath path;
    ASSERT_EQ(path.SelectFolder(nullptr, folder.path().string(), "Backup", "Choose a folder",
                                result, "Save here", "Never mind", 0),
              1);
    EXPECT_EQ(result, (folder.path() / "backup").string());
    EXPECT_EQ(title, "Backup");
    EXPECT_EQ(okText, "Save here");
    EXPECT_TRUE(readOnly);
}

TEST_F(CUtilPathDialogs, CancelledPickerAnswersZeroAndLeavesTheResult) {
    answerNextDialog([](QFileDialog& dialog) { dialog.reject(); });
    std::string result = "unchanged";
    CUtilPath path;
    EXPECT_EQ(path.SelectFolder(nullptr, "Where?", result), 0);
    EXPECT_EQ(result, "unchanged");
}

TEST_F(CUtilPathDialogs, SelectFileReturnsAnExistingFile) {
    const TempFolder folder;
    const auto file = folder.write("clip.avi", "RIFF");
    bool mustExist = false;
    QStringList filters;
    answerNextDialog([&](QFileDialog& dialog) {
        mustExist = dialog.fileMode() == QFileDialog::ExistingFile;
        filters = dialog.nameFilters();
        dialog.selectFile(QString::fromStdString(file.string()));
        static_cast<QDialog&>(dialog).accept();  // accept() is protected in QFileDialog
    });
    std::string result;
    CUtilPath path;
    ASSERT_EQ(path.SelectFile(nullptr, "Clips|*.avi||", folder.path().string(), result, 1), 1);
    EXPECT_EQ(result, file.string());
    EXPECT_TRUE(mustExist);
    EXPECT_EQ(filters, QStringList{"Clips (*.avi)"});
}
