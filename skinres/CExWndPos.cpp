#include "skinres/CExWndPos.h"

#include "platform/profile/ProfileFile.h"
#include "skinres/SkinLookupLog.h"
#include "skinres/SkinValueText.h"

#include <cstdio>
#include <filesystem>

using tachy::ProfileFile;

CExWndPos::CExWndPos() = default;
CExWndPos::~CExWndPos() = default;

int CExWndPos::LoadInfo(const QString& /*folder*/, const QString& positionFile) {
    const ProfileFile profile = ProfileFile::load(std::filesystem::path(positionFile.toStdString()));
    for (const std::string& section : profile.sectionNames()) {
        auto pos = std::make_unique<_WIN_POS>();
        const auto integer = [&](const char* key, int fallback) {
            return profile.readInt(section, key, fallback);
        };
        pos->id = integer("id", -1);
        pos->x = integer("x", -1);
        pos->y = integer("y", -1);
        pos->width = integer("width", -1);
        pos->height = integer("height", -1);
        pos->stickToLeft = integer("stickToLeft", -1);
        pos->stickToRight = integer("stickToRight", -1);
        pos->stickToTop = integer("stickToTop", -1);
        pos->stickToBottom = integer("stickToBottom", -1);
        pos->HCenter = integer("HCenter", 0);
        const auto colour = [&](const char* key) {
            return GetColor(profile.readString(section, key, tachy::skin::kDefaultColorText,
                                               kColorBufferChars));
        };
        pos->color[0] = colour("ColorText");
        for (int i = 0; i < 6; ++i) {
            char key[16];
            std::snprintf(key, sizeof key, "Color%02d", i);
            pos->color[static_cast<std::size_t>(i) + 1] = colour(key);
        }
        m_positions[QString::fromStdString(section)] = std::move(pos);
    }
    return 1;
}

const _WIN_POS* CExWndPos::GetWinPos(const QString& section) const {
    SkinLookupLog::Record(SkinLookupLog::Kind::Position, section);
    const auto found = m_positions.find(section);
    return found == m_positions.end() ? &m_default : found->second.get();
}

void CExWndPos::UnloadInfo() {
    m_positions.clear();
}

QRgb CExWndPos::GetColor(const std::string& text) {
    return tachy::skin::parseColorText(text);
}
