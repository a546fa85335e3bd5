#pragma once
// What the list-page tests share: the default skin and languages loaded once, a command
// target that records what the page sends, and short ways to reach the page's controls and to
// load entries as the loading worker does.

#include "platform/bus/CommandTarget.h"
#include "skinres/CExImageManager.h"
#include "skinres/CExLangManager.h"
#include "skinres/CExWndPos.h"
#include "viewer/app/ViewerContext.h"
#include "viewer/list/CTabList.h"

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <vector>

class CCtrlButtonEx;
class CCtrlSkinList;

namespace tachy::test {

struct SentCommand {
    unsigned message;
    std::uintptr_t code;
    std::intptr_t argument;
    bool operator==(const SentCommand&) const = default;
};

// Records every command; an optional reaction runs after recording (as the main window's).
class RecordingTarget : public CommandTarget {
public:
    std::intptr_t command(unsigned message, std::uintptr_t code, std::intptr_t argument) override;
    std::vector<SentCommand> sent() const;
    void clear();
    std::function<void(std::uintptr_t code, std::intptr_t argument)> reaction;

private:
    mutable std::mutex m_mutex;
    std::vector<SentCommand> m_sent;  // guarded by m_mutex
};

// The skin, positions and a language, loaded from the data folder.
struct LoadedSkin {
    CExImageManager images;
    CExWndPos positions;
    CExLangManager language;
    explicit LoadedSkin(const QString& positionFile, const QString& languageFile);
};

LoadedSkin& defaultSkin();
// The default skin with the element "List Parking" taken out of the position file.
LoadedSkin& skinWithoutParking();

QString languageFile(const char* folder, const char* file);

CCtrlSkinList& listOf(CTabList& page);
CCtrlButtonEx& buttonOf(CTabList& page, int id);

// The loading worker's sequence: start, the entries, finished, rebuild.
void loadEntries(CTabList& page, const std::vector<CTimeList>& entries);

class ListPageTest : public testing::Test {
protected:
    ViewerContext contextFor(LoadedSkin& skin, int modelCode = 0) const {
        return ViewerContext{modelCode, &skin.images, &skin.positions, &skin.language};
    }
    RecordingTarget m_target;
};

} // namespace tachy::test
