#include "tests/support/DefaultSkin.h"

namespace tachy::test {

DefaultSkin::DefaultSkin() {
    const QString skin = QStringLiteral(TACHY_DATA_DIR "/skin");
    const QString language = QStringLiteral(TACHY_DATA_DIR "/lang/ENG/lang_eng.ini");
    images.LoadImageFile(skin, skin + "/images.ini");
    positions.LoadInfo(skin, skin + "/position.ini");
    this->language.LoadFontInfo(language);
    this->language.LoadTextInfo(language);
}

DefaultSkin& defaultSkin() {
    static DefaultSkin loaded;
    return loaded;
}

ViewerContext defaultSkinContext(int modelCode) {
    return {modelCode, &defaultSkin().images, &defaultSkin().positions, &defaultSkin().language};
}

} // namespace tachy::test
