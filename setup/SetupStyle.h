#pragma once
// The settings program's look: the default skin's palette (near-black background, raised
// controls, one accent) as a style sheet, in the language's font.

class CExLangManager;
class QWidget;

namespace setup {

void ApplySetupStyle(QWidget& window, const CExLangManager& language);

} // namespace setup
