// Every language file we ship names a font that the installed system has, and that font draws
// every character of the language's texts: a missing font shows Korean as empty boxes.

#include "skinres/CExLangManager.h"

#include "tests/support/QtTestApplication.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QRegularExpression>
#include <QStringList>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

// The texts of a language file: what follows "size," in every key line of its text sections.
QStringList languageTexts(const QString& file) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        return {};
    }
    QStringList texts;
    bool textSection = false;
    const QStringList lines = QString::fromUtf8(in.readAll()).split(QRegularExpression(QStringLiteral("\r?\n")));
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1Char('['))) {
            textSection = line.startsWith(QLatin1String("[App"));
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        const int comma = line.indexOf(QLatin1Char(','), equals + 1);
        if (textSection && equals > 0 && comma > equals) {
            texts.push_back(line.mid(comma + 1));
        }
    }
    return texts;
}

std::vector<QString> languageFiles() {
    std::vector<QString> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(TACHY_DATA_DIR "/lang")) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && name.rfind("lang_", 0) == 0 && entry.path().extension() == ".ini") {
            files.push_back(QString::fromStdString(entry.path().string()));
        }
    }
    return files;
}

TEST(LanguageFont, EveryLanguagesFontIsInstalledAndDrawsAllItsTexts) {
    tachy::test::testApplication();
    const std::vector<QString> files = languageFiles();
    ASSERT_GE(files.size(), 3U);
    const QStringList families = QFontDatabase::families();
    for (const QString& file : files) {
        CExLangManager language;
        language.LoadFontInfo(file);
        const QString family = language.GetFontName();
        ASSERT_FALSE(family.isEmpty()) << file.toStdString();
        EXPECT_TRUE(families.contains(family)) << family.toStdString() << " is not installed (" << file.toStdString()
                                                << "): scripts/install-deps should bring it";
        const QFont font(family);
        EXPECT_EQ(QFontInfo(font).family(), family) << file.toStdString();
        const QFontMetrics metrics(font);
        const QStringList texts = languageTexts(file);
        EXPECT_GT(texts.size(), 50) << file.toStdString();
        for (const QString& text : texts) {
            for (const uint code : text.toUcs4()) {
                EXPECT_TRUE(metrics.inFontUcs4(code))
                    << family.toStdString() << " has no glyph for U+" << std::hex << code << " in \""
                    << text.toStdString() << "\"";
            }
        }
    }
}

} // namespace
