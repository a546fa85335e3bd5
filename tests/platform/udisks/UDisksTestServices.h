#pragma once
// What the UDisks2 tests run: a private system bus (dbus-daemon on a socket of the test's own),
// the udev daemon when none runs (UDisks2 learns of devices from it), the real udisksd on that
// bus, and loop devices over image files. Each is ended and cleaned up when its object goes;
// only processes and loop devices the tests started are touched.

#include "platform/process/Process.h"
#include "tests/support/TempFolder.h"

#include <QDBusConnection>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace tachy::test {

// A program the tests started, sent SIGTERM and reaped when the object goes.
class ChildDaemon {
public:
    ChildDaemon() = default;
    ~ChildDaemon();
    ChildDaemon(const ChildDaemon&) = delete;
    ChildDaemon& operator=(const ChildDaemon&) = delete;

    bool start(const std::filesystem::path& program, const std::vector<std::string>& arguments,
               const std::filesystem::path& log);
    bool isRunning() { return m_process.isRunning(); }

private:
    Process m_process;
    bool m_started = false;
};

// Waits, handling Qt events, until `done` answers true; false when it has not after
// `seconds` (a guard against a hang, not a measure).
bool waitUntil(const std::function<bool()>& done, int seconds = 20);

class PrivateSystemBus {
public:
    // Nothing with the reason in `why` when dbus-daemon cannot run.
    static std::unique_ptr<PrivateSystemBus> start(std::string* why);
    ~PrivateSystemBus();

    QString address() const;
    // A connection of its own, named uniquely.
    QDBusConnection connect(const QString& name) const;
    const std::filesystem::path& folder() const { return m_folder.path(); }

private:
    PrivateSystemBus() = default;

    TempFolder m_folder;
    ChildDaemon m_daemon;
};

// The udev daemon, started when none runs (and then ended again).
class UdevDaemon {
public:
    static std::unique_ptr<UdevDaemon> ensure(const std::filesystem::path& logFolder,
                                              std::string* why);
    bool startedHere() const { return m_daemon != nullptr; }

private:
    std::unique_ptr<ChildDaemon> m_daemon;
};

// udisksd on the given bus.
class UDisksDaemon {
public:
    static std::unique_ptr<UDisksDaemon> start(const PrivateSystemBus& bus, std::string* why);

private:
    ChildDaemon m_daemon;
};

// An image file with an ext4 file system (the kernel here has no vfat; UDisks2 has to mount
// what it lists) attached to a free loop device; detached, and unmounted first, when the object
// goes.
class LoopImage {
public:
    static std::unique_ptr<LoopImage> attach(const std::filesystem::path& image,
                                             const std::string& label, std::string* why);
    // An image with a master boot record and one Linux partition (type 0x83) from sector 2,048
    // to the end, attached with its partitions scanned; the partition has no file system.
    static std::unique_ptr<LoopImage> attachPartitioned(const std::filesystem::path& image,
                                                        std::string* why);
    ~LoopImage();
    LoopImage(const LoopImage&) = delete;
    LoopImage& operator=(const LoopImage&) = delete;

    const std::string& device() const { return m_device; }
    // The first partition's device ("/dev/loop3p1").
    std::string partition() const { return m_device + "p1"; }
    const std::filesystem::path& image() const { return m_image; }
    // Detaches now; true when losetup did.
    bool detach();

private:
    LoopImage() = default;
    static std::unique_ptr<LoopImage> attachFile(const std::filesystem::path& image,
                                                 const std::string& losetupOptions,
                                                 std::string* why);

    std::string m_device;
    std::filesystem::path m_image;
};

// Why the UDisks2 service tests cannot run here; empty when they can.
std::string udisksTestsUnavailable();

} // namespace tachy::test
