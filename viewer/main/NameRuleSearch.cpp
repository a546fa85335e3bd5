#include "viewer/main/NameRuleSearch.h"

#include "engine/IIntrReplayEx.h"

NameRuleMatch FindNameRule(IIntrReplayEx& engine, const std::vector<_AVI_NAME_FORMAT2>& rules) {
    NameRuleMatch match;
    for (std::size_t index = 0; index < rules.size(); ++index) {
        engine.SetAviFileNameFormat(rules[index]);
        if (engine.CheckRecordMode() != 0) {
            match.count = engine.TotalStreamFileCount();
            if (match.count > 0) {
                match.rule = static_cast<int>(index);
                break;
            }
        }
    }
    return match;
}
