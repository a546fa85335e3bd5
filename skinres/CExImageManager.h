#pragma once
// The skin's pictures by element name, as listed in the skin's image list file: decoded images
// (section "HD-png"), bitmaps (section "HD-bmp") and icons (section "HD-icon"). The manager owns
// every picture it has loaded.

#include <QIcon>
#include <QImage>
#include <QPixmap>
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

private:
    std::map<QString, std::unique_ptr<QImage>> m_images;
    std::map<QString, std::unique_ptr<QPixmap>> m_bitmaps;  // null where loading failed
    std::map<QString, std::unique_ptr<QIcon>> m_icons;      // null where loading failed
};
