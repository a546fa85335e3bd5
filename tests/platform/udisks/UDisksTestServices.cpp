#include "tests/platform/udisks/UDisksTestServices.h"

#include "platform/udisks/UDisksClient.h"
#include "platform/volume/MountTable.h"
#include "tests/support/Command.h"

#include <QCoreApplication>
#include <QThread>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sys/mount.h>
#include <unistd.h>

namespace tachy::test {
namespace {

namespace fs = std::filesystem;

const fs::path kDbusDaemon = "/usr/bin/dbus-daemon";
const fs::path kUdisksd = "/usr/libexec/udisks2/udisksd";
const fs::path kUdevd = "/lib/systemd/systemd-udevd";
const fs::path kUdevControl = "/run/udev/control";

std::string busConfig(const fs::path& socket) {
    return "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
           " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
           "<busconfig>\n"
           "  <type>system</type>\n"
           "  <listen>unix:path=" +
           socket.string() +
           "</listen>\n"
           "  <auth>EXTERNAL</auth>\n"
           "  <policy context=\"default\">\n"
           "    <allow user=\"*\"/>\n"
           "    <allow own=\"*\"/>\n"
           "    <allow send_type=\"method_call\"/>\n"
           "    <allow send_type=\"signal\"/>\n"
           "    <allow send_type=\"method_return\"/>\n"
           "    <allow send_type=\"error\"/>\n"
           "    <allow receive_type=\"method_call\"/>\n"
           "    <allow receive_type=\"signal\"/>\n"
           "    <allow receive_type=\"method_return\"/>\n"
           "    <allow receive_type=\"error\"/>\n"
           "  </policy>\n"
           "</busconfig>\n";
}

// A udev daemon that is alive (not a zombie) is running somewhere on the machine.
bool udevdRuns() {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc", error)) {
        std::ifstream stat(entry.path() / "stat");
        std::string pid;
        std::string name;
        std::string state;
        if (stat >> pid >> name >> state && name == "(systemd-udevd)" && state != "Z") {
            return true;
        }
    }
    return false;
}

std::string shellQuoted(const std::string& text) {
    return "'" + text + "'";
}

} // namespace

ChildDaemon::~ChildDaemon() {
    if (!m_started) {
        return;
    }
    if (m_process.isRunning()) {
        ::kill(m_process.pid(), SIGTERM);
        if (m_process.wait(std::chrono::seconds(10)) != Process::WaitResult::Exited) {
            ::kill(m_process.pid(), SIGKILL);
            m_process.wait(std::chrono::seconds(10));
        }
    }
}

bool ChildDaemon::start(const fs::path& program, const std::vector<std::string>& arguments,
                        const fs::path& log) {
    m_started = m_process.start(program, arguments, {}, log);
    return m_started;
}

bool waitUntil(const std::function<bool()>& done, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(20);
    }
    return true;
}

std::unique_ptr<PrivateSystemBus> PrivateSystemBus::start(std::string* why) {
    if (!fs::exists(kDbusDaemon)) {
        *why = kDbusDaemon.string() + " is not installed";
        return nullptr;
    }
    std::unique_ptr<PrivateSystemBus> bus(new PrivateSystemBus());
    const fs::path config = bus->m_folder.write("bus.conf", busConfig(bus->folder() / "bus.sock"));
    if (!bus->m_daemon.start(kDbusDaemon,
                             {"--config-file=" + config.string(), "--nofork", "--nopidfile"},
                             bus->folder() / "dbus-daemon.log") ||
        !waitUntil([&] { return fs::exists(bus->folder() / "bus.sock"); })) {
        *why = "dbus-daemon did not start: " + readAll(bus->folder() / "dbus-daemon.log");
        return nullptr;
    }
    return bus;
}

PrivateSystemBus::~PrivateSystemBus() = default;

QString PrivateSystemBus::address() const {
    return QStringLiteral("unix:path=") + QString::fromStdString((folder() / "bus.sock").string());
}

QDBusConnection PrivateSystemBus::connect(const QString& name) const {
    return QDBusConnection::connectToBus(address(), name);
}

std::unique_ptr<UdevDaemon> UdevDaemon::ensure(const fs::path& logFolder, std::string* why) {
    auto udev = std::make_unique<UdevDaemon>();
    if (udevdRuns()) {
        return udev;
    }
    if (!fs::exists(kUdevd)) {
        *why = kUdevd.string() + " is not installed and no udev daemon runs";
        return nullptr;
    }
    udev->m_daemon = std::make_unique<ChildDaemon>();
    std::error_code ignored;
    fs::remove(kUdevControl, ignored); // left by a daemon that ended without its clean-up
    if (!udev->m_daemon->start(kUdevd, {}, logFolder / "udevd.log") ||
        !waitUntil([] { return fs::exists(kUdevControl); })) {
        *why = "systemd-udevd did not start: " + readAll(logFolder / "udevd.log");
        return nullptr;
    }
    return udev;
}

std::unique_ptr<UDisksDaemon> UDisksDaemon::start(const PrivateSystemBus& bus, std::string* why) {
    std::unique_ptr<UDisksDaemon> daemon(new UDisksDaemon());
    // udisksd finds the system bus through this variable; the test's own connections are made
    // to the address directly.
    const std::string address = bus.address().toStdString();
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", address.c_str(), 1);
    const bool started = daemon->m_daemon.start(kUdisksd, {}, bus.folder() / "udisksd.log");
    ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    udisks::UDisksClient client(bus.connect(QStringLiteral("udisks-start")));
    if (!started || !waitUntil([&] { return client.version().has_value(); })) {
        *why = "udisksd did not answer: " + readAll(bus.folder() / "udisksd.log");
        QDBusConnection::disconnectFromBus(QStringLiteral("udisks-start"));
        return nullptr;
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("udisks-start"));
    return daemon;
}

std::unique_ptr<LoopImage> LoopImage::attach(const fs::path& image, const std::string& label,
                                             std::string* why) {
    bool ok = false;
    { std::ofstream file(image, std::ios::binary | std::ios::trunc); }
    fs::resize_file(image, 64 * 1024 * 1024);
    const std::string made = runCommand(
        "mkfs.ext4 -q -F -L " + shellQuoted(label) + " " + shellQuoted(image.string()) + " 2>&1", &ok);
    if (!ok) {
        *why = "mkfs.ext4 failed: " + made;
        return nullptr;
    }
    return attachFile(image, "", why);
}

std::unique_ptr<LoopImage> LoopImage::attachPartitioned(const fs::path& image, std::string* why) {
    { std::ofstream file(image, std::ios::binary | std::ios::trunc); }
    fs::resize_file(image, 64 * 1024 * 1024);
    bool ok = false;
    const std::string made =
        runCommand("printf 'label: dos\\nstart=2048, type=83\\n' | sfdisk -q " +
                       shellQuoted(image.string()) + " 2>&1",
                   &ok);
    if (!ok) {
        *why = "sfdisk failed: " + made;
        return nullptr;
    }
    auto loop = attachFile(image, "-P ", why);
    // The kernel here does not always scan a loop device's partitions on attach; partx adds
    // them from the table it reads.
    if (loop && !fs::exists(loop->partition())) {
        runCommand("partx -a " + shellQuoted(loop->device()) + " 2>&1");
        runCommand("udevadm settle --timeout=20 2>&1");
    }
    if (loop && !waitUntil([&] { return fs::exists(loop->partition()); })) {
        *why = loop->partition() + " did not appear";
        return nullptr;
    }
    return loop;
}

std::unique_ptr<LoopImage>
LoopImage::attachFile(const fs::path& image, const std::string& losetupOptions, std::string* why) {
    bool ok = false;
    std::string device = runCommand(
        "losetup " + losetupOptions + "-f --show " + shellQuoted(image.string()) + " 2>&1", &ok);
    while (!device.empty() && (device.back() == '\n' || device.back() == ' ')) {
        device.pop_back();
    }
    if (!ok || device.rfind("/dev/loop", 0) != 0) {
        *why = "losetup failed: " + device;
        return nullptr;
    }
    std::unique_ptr<LoopImage> loop(new LoopImage());
    loop->m_device = device;
    loop->m_image = image;
    runCommand("udevadm settle --timeout=20 2>&1");
    return loop;
}

bool LoopImage::detach() {
    if (m_device.empty()) {
        return true;
    }
    // A mount a failed test left behind comes off first, so that the device can go.
    std::error_code error;
    const fs::path device = fs::canonical(m_device, error);
    for (const MountEntry& mount : readMountInfo("/proc/self/mountinfo")) {
        if (mount.source == m_device || (!error && mount.source == device.string())) {
            ::umount2(mount.mountPoint.c_str(), 0);
        }
    }
    bool ok = false;
    runCommand("losetup -d " + shellQuoted(m_device) + " 2>&1", &ok);
    runCommand("udevadm settle --timeout=20 2>&1");
    if (ok) {
        m_device.clear();
    }
    return ok;
}

LoopImage::~LoopImage() {
    detach();
}

std::string udisksTestsUnavailable() {
    if (::geteuid() != 0) {
        return "needs root (loop devices, the udev daemon and udisksd)";
    }
    if (!fs::exists("/dev/loop-control")) {
        return "no loop devices here (/dev/loop-control is missing)";
    }
    if (!fs::exists(kUdisksd)) {
        return kUdisksd.string() + " is not installed (Debian package udisks2)";
    }
    bool ok = false;
    runCommand("command -v losetup mkfs.ext4 udevadm", &ok);
    if (!ok) {
        return "losetup, mkfs.ext4 or udevadm is missing";
    }
    return {};
}

} // namespace tachy::test
