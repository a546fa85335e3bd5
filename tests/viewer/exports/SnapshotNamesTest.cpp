#include "viewer/exports/SnapshotNames.h"

#include "skinres/CExLangManager.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace {

using viewer::exports::SnapshotNames;

// Sets the process's time zone for one test and puts the old one back.
class TimeZoneScope {
public:
    explicit TimeZoneScope(const char* zone) {
        if (const char* old = std::getenv("TZ")) {
            m_old = old;
        }
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~TimeZoneScope() {
        if (m_old) {
            ::setenv("TZ", m_old->c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }
    TimeZoneScope(const TimeZoneScope&) = delete;
    TimeZoneScope& operator=(const TimeZoneScope&) = delete;

private:
    std::optional<std::string> m_old;
};

QString EnglishFile() {
    return QStringLiteral(TACHY_DATA_DIR "/lang/ENG/lang_eng.ini");
}

TEST(SnapshotNames, BaseNameIsTheFramesLocalTimeWithItsMillisecond) {
    const TimeZoneScope zone("EST5");
    // 1700000000 is 2023-11-14 22:13:20 UTC, five hours earlier on the local clock.
    EXPECT_EQ(SnapshotNames::BaseName(1700000000, 45), QStringLiteral("20231114_171320_045"));
    EXPECT_EQ(SnapshotNames::BaseName(1700000000, 999), QStringLiteral("20231114_171320_999"));
    EXPECT_EQ(SnapshotNames::Pattern(QStringLiteral("20231114_171320_045")),
              QStringLiteral("20231114_171320_045_*.jpg"));
}

TEST(SnapshotNames, BaseNameFollowsTheTimeZone) {
    const TimeZoneScope zone("JST-9");
    EXPECT_EQ(SnapshotNames::BaseName(1700000000, 0), QStringLiteral("20231115_071320_000"));
}

TEST(SnapshotNames, OnlyChannelZeroIsNamedByTheKeyForChannelZeroOfOne) {
    CExLangManager language;
    language.LoadTextInfo(EnglishFile());
    ASSERT_GT(language.GetTextCount(), 0u);
    EXPECT_EQ(SnapshotNames::CameraKey(0, 1), QStringLiteral("common camera0_1"));
    EXPECT_EQ(
        SnapshotNames::FilePath(QStringLiteral("/shots"), QStringLiteral("B"), 0, 1, language),
        QStringLiteral("/shots/B_") + language.GetText(QStringLiteral("common camera0_1")) +
            QStringLiteral(".jpg"));
    EXPECT_EQ(
        SnapshotNames::FilePath(QStringLiteral("/shots"), QStringLiteral("B"), 0, 1, language),
        QStringLiteral("/shots/B_front.jpg"));
    EXPECT_EQ(
        SnapshotNames::FilePath(QStringLiteral("/shots"), QStringLiteral("B"), 2, 3, language),
        QStringLiteral("/shots/B_interior.jpg"));
}

TEST(SnapshotNames, TargetIsTheLastFolderOnlyWhileItExists) {
    QTemporaryDir last;
    ASSERT_TRUE(last.isValid());
    const QString backup = QStringLiteral("/backup");
    EXPECT_EQ(SnapshotNames::TargetFolder(last.path(), backup), last.path());
    EXPECT_EQ(SnapshotNames::TargetFolder(last.filePath(QStringLiteral("gone")), backup), backup);
    EXPECT_EQ(SnapshotNames::TargetFolder(QString(), backup), backup);
    // "/" and "C:" are existing or plausible folders, but shorter than 3 characters.
    EXPECT_EQ(SnapshotNames::TargetFolder(QStringLiteral("/"), backup), backup);
    QFile file(last.filePath(QStringLiteral("file")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_EQ(SnapshotNames::TargetFolder(file.fileName(), backup), backup);
}

} // namespace
