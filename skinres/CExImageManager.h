#pragma once
// The skin's pictures by element name, as listed in the skin's image list file: decoded images
// (section "HD-png"), bitmaps (section "HD-bmp") and icons (section "HD-icon"). The manager owns
// every picture it has loaded.
//
// Beside each listed file "name.png" the skin may hold "name@2x.png", the same design drawn at
// twice the size. Where the skin is shown larger than its design size (a HiDPI screen, a window
// enlarged past the design size) the manager answers with those pictures, marked with a
// device-pixel ratio of 2 so that their logical size is that of the listed picture; where a
// picture has no such file it answers with the listed one.

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>

#include <map>
#include <memory>

class CExImageManager {
public:
    CExImageManager();
    ~CExImageManager();
    CExImageManager(const CExImageManager&) = delete;
    CExImageManager& operator=(const CExImageManager&) = delete;

    // Each loads every picture its section lists, from the folder. 1 when the section has
    // entries (whether or not each picture could be read), 0 when it has none.
    int LoadImageFile(const QString& folder, const QString& listFile);
    int LoadBitmapFile(const QString& folder, const QString& listFile);
    int LoadIconFile(const QString& folder, const QString& listFile);

    // Null for a name that was not listed. A listed image that could not be read is a null
    // QImage; a listed bitmap or icon that could not be read gives null here.
    const QImage* GetImageFile(const QString& name) const;
    const QPixmap* GetBitmapFile(const QString& name) const;
    const QIcon* GetIconFile(const QString& name) const;

    void UnloadImageFile();
    void UnloadBitmapFile();
    void UnloadIconFile();

    // Picks the picture set by the scale the skin is shown at: the device-pixel ratio times the
    // window's own scale. Above 1 the double-size pictures, else the listed ones. Pointers
    // handed out before stay valid and show the picture of the set picked now. Starts at the
    // highest device-pixel ratio of the screens (1 without a GUI application).
    void SetPictureScale(qreal scale);
    // 2 when the double-size set is picked, else 1.
    int PictureScale() const { return m_pictureScale; }

    // The largest scale the skin is shown at on the screens present: each screen's device-pixel
    // ratio times the scale a window of the design size takes maximised on it (at least 1).
    static qreal ScreenPictureScale(QSize designSize);
    // The file of the double-size picture beside a listed one: "img/a.png" gives "img/a@2x.png".
    static QString DoubleSizePath(const QString& path);

private:
    // A picture as listed and, where the skin has it, drawn at twice the size (else null).
    template <typename Picture> struct PictureSet {
        Picture listed;
        Picture doubled;
        const Picture& pick(int scale) const {
            return scale > 1 && !doubled.isNull() ? doubled : listed;
        }
    };

    void ApplyPictureScale();

    int m_pictureScale = 1;
    // What the Get functions hand out: the picture of the picked set, kept at a stable address.
    std::map<QString, std::unique_ptr<QImage>> m_images;
    std::map<QString, std::unique_ptr<QPixmap>> m_bitmaps; // null where loading failed
    std::map<QString, std::unique_ptr<QIcon>> m_icons;     // null where loading failed; both sizes
    std::map<QString, PictureSet<QImage>> m_imageSets;
    std::map<QString, PictureSet<QPixmap>> m_bitmapSets; // only the bitmaps that loaded
};
