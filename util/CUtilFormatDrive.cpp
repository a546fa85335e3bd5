#include "util/CUtilFormatDrive.h"

#include "platform/text/CaseFold.h"

CUtilFormatDrive::CUtilFormatDrive() = default;

void CUtilFormatDrive::SetEnvironment(const tachy::VolumeEnvironment& environment) {
    m_environment = environment;
    m_formatter.setEnvironment(environment);
}

bool CUtilFormatDrive::isFormattable(const std::string& volume) {
    // Only fixed and removable disks are formatted: an optical drive (sr*) never, a network or
    // virtual file system is refused by the look-up itself.
    const std::optional<tachy::VolumeTarget> target =
        tachy::resolveVolumeTarget(volume, m_environment, &m_lastError);
    if (!target) {
        return false;
    }
    if (target->device && target->device->diskName.rfind("sr", 0) == 0) {
        m_lastError = "\"" + volume + "\" is an optical drive";
        return false;
    }
    return true;
}

int CUtilFormatDrive::FormatDrive(const std::string& volume, const std::string& fileSystem,
                                  int quick, std::uint32_t clusterSize, const std::string& label) {
    m_lastError.clear();
    if (!tachy::text::equalsIgnoreCase(fileSystem, "FAT32")) {
        m_lastError = "only FAT32 is supported, not \"" + fileSystem + "\"";
        return 0;
    }
    if (!isFormattable(volume)) {
        return 0;
    }
    tachy::SystemFormatRequest request;
    request.volume = volume;
    request.clusterBytes = clusterSize;
    request.label = label.substr(0, 11);
    request.quick = quick != 0;
    request.imageSectorSize = m_imageSectorSize;
    return m_formatter.format(request, &m_lastError) ? 1 : 0;
}
