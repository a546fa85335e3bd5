#pragma once
// The list of removable cards both card dialogs show: drive, name, capacity, used and free
// space, one row per mounted removable volume. It looks at the volume list every second and,
// when a card arrived or was removed, fills itself again with no row selected.

#include "platform/volume/Volume.h"

#include <QTreeWidget>
#include <functional>
#include <vector>

class CExLangManager;
class QTimer;

namespace viewer::appdlg {

class RemovableDriveList : public QTreeWidget {
public:
    RemovableDriveList(const CExLangManager& language, tachy::VolumeEnvironment environment,
                       QWidget* parent);

    // Called after every refill.
    void SetRefilled(std::function<void()> refilled) { m_refilled = std::move(refilled); }
    // Fills the list from the volumes there are now; no row is selected afterwards.
    void Refill();
    // Refills when the volumes differ from those listed; true when they did.
    bool CheckForChange();
    // The selected row's drive (its mount point); empty when no row is selected.
    QString SelectedDrive() const;
    // "%3.1fGB" of a byte count.
    static QString Gigabytes(std::uint64_t bytes);

private:
    static bool SameCards(const std::vector<tachy::RemovableVolume>& a,
                          const std::vector<tachy::RemovableVolume>& b);

    tachy::Volume m_volume;
    std::vector<tachy::RemovableVolume> m_listed;
    QTimer* m_poll = nullptr; // child
    std::function<void()> m_refilled;
};

} // namespace viewer::appdlg
