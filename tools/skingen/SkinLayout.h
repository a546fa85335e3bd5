#pragma once
// Where every element of the default skin lies (design size 1280 x 800) and which colours it
// uses; written out as the skin's position file.

#include <QColor>
#include <QString>

#include <vector>

namespace tachy::skingen {

struct SkinElement {
    QString name;
    int id = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int stickToLeft = -1;
    int stickToTop = -1;
    int stickToRight = -1;
    int stickToBottom = -1;
    int hCenter = 0;
    std::vector<QColor> colours;  // ColorText, then Color00 to Color05; absent ones are white
};

const std::vector<SkinElement>& skinElements();

// The position file's text.
QString positionFileText();

} // namespace tachy::skingen
