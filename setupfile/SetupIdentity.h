#pragma once
// What a settings file must say about itself: the model, maker and structure version of
// option.ini, and the ANSI code page its text fields are read and written in.

#include "platform/text/CodePage.h"

#include <string>

namespace tachy::setupfile {

struct SetupIdentity {
    std::string modelName;        // "SetupModelName", UTF-8
    std::string makerName;        // "SetupCompanyName", UTF-8
    std::string structureVersion; // "SetupStructureVer", UTF-8
    int codePage = text::kCodePageWestern;
};

} // namespace tachy::setupfile
