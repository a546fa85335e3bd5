#pragma once
// Every picture of the default skin: its element name, the image-list sections it is listed in
// and how it is drawn; written out as PNG files at the design size and at twice that size, and
// the skin's image list.

#include <QImage>
#include <QString>

#include <functional>
#include <vector>

namespace tachy::skingen {

enum SkinSection : unsigned { kPng = 1, kBitmap = 2, kIcon = 4 };

struct SkinPicture {
    QString name;
    unsigned sections = kPng;
    std::function<QImage()> draw; // at PictureScale::current()
};

const std::vector<SkinPicture>& skinPictures();

// The file, relative to the skin folder, that holds a picture at its design size.
QString pictureFile(const QString& name);
// The file beside it that holds the same picture drawn at twice the size ("name@2x.png"); the
// image list names only the first, the skin loader looks for this one beside it.
QString doublePictureFile(const QString& name);

// The image list's text.
QString imageListText();

} // namespace tachy::skingen
