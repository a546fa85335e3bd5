#include "viewer/exports/PrintPageContent.h"

#include "skinres/CExLangManager.h"
#include "viewer/exports/PrintPageText.h"

namespace viewer::exports {

namespace {

PrintPageContent::Text LanguageText(const CExLangManager& language, const QString& key) {
    const _TAG_STRING_INFO* info = language.GetTextInfo(key);
    PrintPageContent::Text text;
    if (info != nullptr) {
        text.text = info->text;
        text.size = info->fontSize > 0 ? info->fontSize : text.size;
    }
    return text;
}

} // namespace

PrintPageContent PrintPageContent::FromLanguage(const CExLangManager& language) {
    PrintPageContent content;
    content.fontName = language.GetFontName();
    content.title = LanguageText(language, QStringLiteral("print text title"));
    for (int section = 0; section < kSections; ++section) {
        content.headings[static_cast<std::size_t>(section)] =
            LanguageText(language, QStringLiteral("print text sec%1").arg(section + 1));
    }
    return content;
}

std::array<QString, PrintPageContent::kSections> PrintPageContent::SectionValues() const {
    return {PrintPageText::Time(second), PrintPageText::Position(latitude, longitude, speed),
            PrintPageText::GSensor(gSensorX, gSensorY, gSensorZ), memo};
}

} // namespace viewer::exports
