#include "tests/robust/RobustCard.h"

#include "platform/registry/Registry.h"

#include <algorithm>
#include <cstdlib>

namespace tachy::robust {

namespace {

int numberAfter(const std::string& output, const std::string& label) {
    const std::size_t at = output.find(label);
    return at == std::string::npos ? -1 : std::atoi(output.c_str() + at + label.size());
}

} // namespace

RobustCard::RobustCard(int periods, const std::vector<std::string>& extra)
    : m_root(m_work.path() / "card") {
    std::vector<std::string> arguments = {
        "--rule",     std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_A.ini",
        "--out",      m_root.string(),
        "--channels", "2",
        "--seconds",  std::to_string(periods * 2),
        "--period",   "2",
        "--size",     "160x120"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    const RunResult made =
        runProgram(TACHY_MKCARD, arguments, m_work.path() / "mkcard.txt", std::chrono::seconds(60));
    m_made = made.exitCode == 0;
    // The manifest is the generator's record, not part of the card.
    std::filesystem::remove(m_root / "manifest.json");
}

std::vector<std::filesystem::path> RobustCard::StreamFiles() const {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(m_root)) {
        if (entry.is_regular_file() && entry.path().extension() == ".avi") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

RunResult RobustCard::Play(const std::vector<std::string>& arguments,
                           const std::filesystem::path& card,
                           const std::function<void(pid_t)>& meanwhile) const {
    std::vector<std::string> all = {(card.empty() ? m_root : card).string()};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return runProgram(TACHY_PLAY, all, m_work.path() / "tachy-play.txt", std::chrono::seconds(45),
                      meanwhile);
}

RunResult RobustCard::View(const std::filesystem::path& card, int afterMs,
                           const std::function<void(pid_t)>& meanwhile) const {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("TACHY_MAP", "off", 1);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    // A colour mode stored: not a first start, so the first-run wizard stays out of the way.
    tachy::Registry registry;
    registry.writeDword("software\\Tachy Player\\tachyPlayer\\VideoCtrl", "ColorMode", 1);
    return runProgram(TACHY_PLAYER,
                      {"--open", card.string(), "--row", "0", "--play", "--after",
                       std::to_string(afterMs), "--quit"},
                      m_work.path() / "viewer.txt", std::chrono::seconds(45), meanwhile);
}

int frontPictures(const std::string& output) {
    return numberAfter(output, "channel 0: ");
}

int viewerFrontPictures(const std::string& output) {
    return numberAfter(output, "pictures shown: ");
}

} // namespace tachy::robust
