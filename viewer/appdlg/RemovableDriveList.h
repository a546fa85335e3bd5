#pragma once
// The list of removable cards both card dialogs show: drive, name, capacity, used and free
// space, one row per mounted removable volume. The volumes come from the source installed for
// the machine (UDisks2 on a desktop) or from the kernel's tables. It looks at the volume list
// every second, and at once when the source reports a change, and when a card arrived or was
// removed fills itself again with no row selected.

#include "platform/volume/Volume.h"

#include <QTreeWidget>
#include <functional>
#include <memory>
#include <vector>

class CExLangManager;
class QTimer;

namespace viewer::appdlg {

class RemovableDriveList : public QTreeWidget {
public:
    RemovableDriveList(const CExLangManager& language, tachy::VolumeEnvironment environment,
                       QWidget* parent);
    ~RemovableDriveList() override;

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

    std::shared_ptr<const tachy::VolumeSource> m_source;
    int m_subscription = 0;
    std::vector<tachy::RemovableVolume> m_listed;
    QTimer* m_poll = nullptr; // child
    std::function<void()> m_refilled;
};

} // namespace viewer::appdlg
