#pragma once
// The default skin and the English texts of data/, loaded once per test process, and a viewer
// context over them. Suites that use it define TACHY_DATA_DIR and compile DefaultSkin.cpp.

#include "skinres/CExImageManager.h"
#include "skinres/CExLangManager.h"
#include "skinres/CExWndPos.h"
#include "viewer/app/ViewerContext.h"

namespace tachy::test {

struct DefaultSkin {
    DefaultSkin();

    CExImageManager images;
    CExWndPos positions;
    CExLangManager language;
};

DefaultSkin& defaultSkin();
ViewerContext defaultSkinContext(int modelCode);

} // namespace tachy::test
