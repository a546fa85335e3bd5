#pragma once
// The viewer's choice of naming rule: each rule in turn is given to the engine until one finds
// stream files on the card path the engine holds. Kept apart from the loading dialog so that
// it runs without a window.

#include "util/naming/AviNameFormat.h"

#include <vector>

class IIntrReplayEx;

struct NameRuleMatch {
    int rule = -1;  // index into the rules, -1 when none found stream files
    int count = 0;  // the engine's file count for that rule
};

NameRuleMatch FindNameRule(IIntrReplayEx& engine, const std::vector<_AVI_NAME_FORMAT2>& rules);
