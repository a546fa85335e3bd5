#pragma once
// The colours of the default skin: a near-black background, panels and raised controls each one
// step lighter, light text, one accent for focus, selection and the play state.

#include <QColor>

namespace tachy::skingen::palette {

inline const QColor kBackground{0x15, 0x17, 0x1A};
inline const QColor kPanel{0x1E, 0x21, 0x26};
inline const QColor kPanelBorder{0x2A, 0x2E, 0x35};
inline const QColor kRaised{0x2A, 0x2E, 0x35};
inline const QColor kRaisedBorder{0x37, 0x3C, 0x44};
inline const QColor kOver{0x34, 0x39, 0x42};
inline const QColor kOverBorder{0x42, 0x48, 0x52};
inline const QColor kPressed{0x22, 0x25, 0x2B};
inline const QColor kText{0xE6, 0xE8, 0xEB};
inline const QColor kSecondaryText{0x9A, 0xA1, 0xAA};
inline const QColor kAccent{0x3D, 0x8B, 0xFD};
inline const QColor kWarning{0xF5, 0xA5, 0x24};
inline const QColor kDanger{0xE5, 0x48, 0x4D};
inline const QColor kGood{0x3C, 0xC4, 0x7C};
inline const QColor kAxisX{0x4C, 0xC9, 0xF0};
inline const QColor kAxisY{0xF7, 0x25, 0x85};
inline const QColor kAxisZ{0xFF, 0xD1, 0x66};

} // namespace tachy::skingen::palette
