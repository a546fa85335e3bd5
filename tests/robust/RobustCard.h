#pragma once
// The damaged-card tests' cards: made by mkcard in a fresh folder, their stream files listed,
// and tachy-play and the viewer run on them as their own processes.

#include "tests/robust/ProgramRun.h"
#include "tests/support/TempFolder.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tachy::robust {

class RobustCard {
public:
    // A card of `periods` two-second periods of two cameras (rule A, 160x120), plus `extra`
    // mkcard options; Made() tells whether mkcard succeeded.
    explicit RobustCard(int periods = 3, const std::vector<std::string>& extra = {});

    bool Made() const { return m_made; }
    const std::filesystem::path& Root() const { return m_root; }
    const std::filesystem::path& Work() const { return m_work.path(); }
    // The ".avi" files under the card, sorted by path (period by period, channel by channel).
    std::vector<std::filesystem::path> StreamFiles() const;

    // tachy-play on `card` (the card itself by default) with `arguments` after it.
    RunResult Play(const std::vector<std::string>& arguments,
                   const std::filesystem::path& card = {},
                   const std::function<void(pid_t)>& meanwhile = {}) const;
    // The viewer opening `card`, playing row 0 for `afterMs` and quitting, under Qt's offscreen
    // platform (software display), with the map off and SDL's dummy sound driver.
    RunResult View(const std::filesystem::path& card, int afterMs,
                   const std::function<void(pid_t)>& meanwhile = {}) const;

private:
    tachy::test::TempFolder m_work;
    std::filesystem::path m_root;
    bool m_made = false;
};

// The count after "channel 0: " in tachy-play's output (-1 when it printed none).
int frontPictures(const std::string& output);
// The first count after "pictures shown: " in the viewer's output (-1 when it printed none).
int viewerFrontPictures(const std::string& output);

} // namespace tachy::robust
