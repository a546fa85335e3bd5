#pragma once
// Small cards for the engine's tests, made by our generator: naming rule A, 64x48 pictures,
// a key picture every 10, two cameras.

#include "engine/IIntrReplayEx.h"
#include "tools/mkcard/CardGenerator.h"
#include "tools/tachy-play/HeadlessViewer.h"
#include "util/naming/AviNameFormat.h"

#include <filesystem>
#include <memory>
#include <string>

namespace tachy::test {

// The naming rule the small cards are made with.
std::string smallCardRule();

// The options of a small card at `out`: `seconds` of recording in periods of `periodSeconds`.
mkcard::CardOptions smallCard(const std::filesystem::path& out, double seconds,
                              double periodSeconds);

// An engine on the card at `card` (named by rule A), its record modes checked and its list
// walked, with `expectedEntries` listed; `viewer` gets the engine's calls and is cleared of
// those the walk made. Null when a step fails (the failure is recorded for the test).
std::unique_ptr<IIntrReplayEx> openSmallCard(const std::filesystem::path& card,
                                             play::HeadlessViewer& viewer,
                                             std::size_t expectedEntries);

} // namespace tachy::test
