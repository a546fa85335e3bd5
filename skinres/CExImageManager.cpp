#include "skinres/CExImageManager.h"

#include "platform/debug/DebugOut.h"
#include "platform/profile/ProfileFile.h"
#include "skinres/SkinLookupLog.h"

#include <QGuiApplication>
#include <QImageReader>

#include <filesystem>
#include <vector>

using tachy::ProfileFile;

namespace {

std::vector<ProfileFile::Entry> listEntries(const QString& listFile, const char* section) {
    return ProfileFile::load(std::filesystem::path(listFile.toStdString())).readSection(section);
}

QString picturePath(const QString& folder, const std::string& file) {
    return folder + QLatin1Char('/') + QString::fromStdString(file);
}

QImage readImage(const QString& path) {
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull()) {
        tachy::DebugOut::printf("skin: cannot read %s: %s\n", path.toUtf8().constData(),
                                reader.errorString().toUtf8().constData());
    }
    return image;
}

// Bitmaps and icons are device pictures: they exist only inside a GUI application.
bool deviceAvailable() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        return true;
    }
    tachy::DebugOut::write("skin: no GUI application, bitmaps and icons are not loaded\n");
    return false;
}

template <typename Map, typename Get>
auto* lookUp(const Map& map, const QString& name, Get get) {
    const auto found = map.find(name);
    return found == map.end() ? nullptr : get(found->second);
}

} // namespace

CExImageManager::CExImageManager() = default;
CExImageManager::~CExImageManager() = default;

int CExImageManager::LoadImageFile(const QString& folder, const QString& listFile) {
    const auto entries = listEntries(listFile, "HD-png");
    for (const ProfileFile::Entry& entry : entries) {
        m_images[QString::fromStdString(entry.key)] =
            std::make_unique<QImage>(readImage(picturePath(folder, entry.value)));
    }
    return entries.empty() ? 0 : 1;
}

int CExImageManager::LoadBitmapFile(const QString& folder, const QString& listFile) {
    const auto entries = listEntries(listFile, "HD-bmp");
    const bool device = !entries.empty() && deviceAvailable();
    for (const ProfileFile::Entry& entry : entries) {
        std::unique_ptr<QPixmap> bitmap;
        if (device) {
            const QImage image = readImage(picturePath(folder, entry.value));
            if (!image.isNull()) {
                bitmap = std::make_unique<QPixmap>(QPixmap::fromImage(image));
            }
        }
        m_bitmaps[QString::fromStdString(entry.key)] = std::move(bitmap);
    }
    return entries.empty() ? 0 : 1;
}

int CExImageManager::LoadIconFile(const QString& folder, const QString& listFile) {
    const auto entries = listEntries(listFile, "HD-icon");
    const bool device = !entries.empty() && deviceAvailable();
    for (const ProfileFile::Entry& entry : entries) {
        std::unique_ptr<QIcon> icon;
        if (device) {
            const QImage image = readImage(picturePath(folder, entry.value));
            if (!image.isNull()) {
                icon = std::make_unique<QIcon>(QPixmap::fromImage(image));
            }
        }
        m_icons[QString::fromStdString(entry.key)] = std::move(icon);
    }
    return entries.empty() ? 0 : 1;
}

const QImage* CExImageManager::GetImageFile(const QString& name) const {
    SkinLookupLog::Record(SkinLookupLog::Kind::Image, name);
    return lookUp(m_images, name, [](const auto& image) { return image.get(); });
}

const QPixmap* CExImageManager::GetBitmapFile(const QString& name) const {
    SkinLookupLog::Record(SkinLookupLog::Kind::Bitmap, name);
    return lookUp(m_bitmaps, name, [](const auto& bitmap) { return bitmap.get(); });
}

const QIcon* CExImageManager::GetIconFile(const QString& name) const {
    SkinLookupLog::Record(SkinLookupLog::Kind::Icon, name);
    return lookUp(m_icons, name, [](const auto& icon) { return icon.get(); });
}

void CExImageManager::UnloadImageFile() {
    m_images.clear();
}

void CExImageManager::UnloadBitmapFile() {
    m_bitmaps.clear();
}

void CExImageManager::UnloadIconFile() {
    m_icons.clear();
}
