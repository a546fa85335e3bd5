#include "skinres/CExImageManager.h"

#include "platform/debug/DebugOut.h"
#include "platform/profile/ProfileFile.h"
#include "skinres/SkinLookupLog.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QScreen>

#include <algorithm>

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
    image.setDevicePixelRatio(1.0);
    return image;
}

// The double-size picture beside a listed one, with a device-pixel ratio of 2; null when the
// skin has none. One whose size is not twice the listed picture's is not used: drawn at half
// its size it would not fit where the listed picture goes.
QImage readDoubleImage(const QString& listedPath, const QImage& listed) {
    const QString path = CExImageManager::DoubleSizePath(listedPath);
    if (listed.isNull() || !QFileInfo::exists(path)) {
        return {};
    }
    QImage image = readImage(path);
    if (image.isNull()) {
        return {};
    }
    if (image.size() != listed.size() * 2) {
        tachy::DebugOut::printf("skin: %s is not twice the size of its picture; not used\n",
                                path.toUtf8().constData());
        return {};
    }
    image.setDevicePixelRatio(2.0);
    return image;
}

// Above this the skin is shown larger than drawn; the tolerance keeps a window a few pixels
// larger than the design on the listed pictures.
constexpr qreal kDoubleSizeFrom = 1.01;

int pictureScaleFor(qreal scale) {
    return scale > kDoubleSizeFrom ? 2 : 1;
}

qreal startingScale() {
    const auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    return application != nullptr ? application->devicePixelRatio() : 1.0;
}

// Bitmaps and icons are device pictures: they exist only inside a GUI application.
bool deviceAvailable() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        return true;
    }
    tachy::DebugOut::write("skin: no GUI application, bitmaps and icons are not loaded\n");
    return false;
}

template <typename Map, typename Get> auto* lookUp(const Map& map, const QString& name, Get get) {
    const auto found = map.find(name);
    return found == map.end() ? nullptr : get(found->second);
}

} // namespace

CExImageManager::CExImageManager() : m_pictureScale(pictureScaleFor(startingScale())) {}
CExImageManager::~CExImageManager() = default;

int CExImageManager::LoadImageFile(const QString& folder, const QString& listFile) {
    const auto entries = listEntries(listFile, "HD-png");
    for (const ProfileFile::Entry& entry : entries) {
        const QString path = picturePath(folder, entry.value);
        PictureSet<QImage> set{readImage(path), {}};
        set.doubled = readDoubleImage(path, set.listed);
        const QString name = QString::fromStdString(entry.key);
        m_images[name] = std::make_unique<QImage>(set.pick(m_pictureScale));
        m_imageSets[name] = std::move(set);
    }
    return entries.empty() ? 0 : 1;
}

int CExImageManager::LoadBitmapFile(const QString& folder, const QString& listFile) {
    const auto entries = listEntries(listFile, "HD-bmp");
    const bool device = !entries.empty() && deviceAvailable();
    for (const ProfileFile::Entry& entry : entries) {
        const QString name = QString::fromStdString(entry.key);
        std::unique_ptr<QPixmap> bitmap;
        if (device) {
            const QString path = picturePath(folder, entry.value);
            const QImage image = readImage(path);
            if (!image.isNull()) {
                const PictureSet<QPixmap> set{QPixmap::fromImage(image),
                                              QPixmap::fromImage(readDoubleImage(path, image))};
                bitmap = std::make_unique<QPixmap>(set.pick(m_pictureScale));
                m_bitmapSets[name] = set;
            }
        }
        m_bitmaps[name] = std::move(bitmap);
    }
    return entries.empty() ? 0 : 1;
}

int CExImageManager::LoadIconFile(const QString& folder, const QString& listFile) {
    const auto entries = listEntries(listFile, "HD-icon");
    const bool device = !entries.empty() && deviceAvailable();
    for (const ProfileFile::Entry& entry : entries) {
        std::unique_ptr<QIcon> icon;
        if (device) {
            const QString path = picturePath(folder, entry.value);
            const QImage image = readImage(path);
            if (!image.isNull()) {
                // An icon holds both sizes and is drawn from the one that suits each use.
                icon = std::make_unique<QIcon>(QPixmap::fromImage(image));
                const QImage doubled = readDoubleImage(path, image);
                if (!doubled.isNull()) {
                    icon->addPixmap(QPixmap::fromImage(doubled));
                }
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
    m_imageSets.clear();
}

void CExImageManager::UnloadBitmapFile() {
    m_bitmaps.clear();
    m_bitmapSets.clear();
}

void CExImageManager::UnloadIconFile() {
    m_icons.clear();
}

void CExImageManager::SetPictureScale(qreal scale) {
    const int picked = pictureScaleFor(scale);
    if (picked != m_pictureScale) {
        m_pictureScale = picked;
        ApplyPictureScale();
    }
}

void CExImageManager::ApplyPictureScale() {
    for (const auto& [name, set] : m_imageSets) {
        *m_images.at(name) = set.pick(m_pictureScale);
    }
    for (const auto& [name, set] : m_bitmapSets) {
        *m_bitmaps.at(name) = set.pick(m_pictureScale);
    }
}

qreal CExImageManager::ScreenPictureScale(QSize designSize) {
    qreal highest = startingScale();
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr ||
        designSize.isEmpty()) {
        return highest;
    }
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QSize room = screen->availableSize();
        const qreal windowScale = std::min(static_cast<qreal>(room.width()) / designSize.width(),
                                           static_cast<qreal>(room.height()) / designSize.height());
        highest = std::max(highest, screen->devicePixelRatio() * std::max<qreal>(windowScale, 1.0));
    }
    return highest;
}

QString CExImageManager::DoubleSizePath(const QString& path) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (dot <= slash + 1) {
        return path + QStringLiteral("@2x");
    }
    return path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
}
