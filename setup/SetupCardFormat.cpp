#include "setup/SetupCardFormat.h"

#include "setup/SetupMessageBox.h"
#include "setupfile/CSetupOption.h"
#include "setupfile/TimeSetFile.h"

#include <QDialog>
#include <QLabel>
#include <QMetaObject>
#include <QVBoxLayout>
#include <atomic>
#include <thread>

using tachy::setupfile::TimeSetFile;
using viewer::appdlg::CardFormatFlow;
using viewer::appdlg::CardFormatReport;
using viewer::appdlg::CardFormatRequest;

SetupCardFormat::SetupCardFormat(const tachy::setupfile::CSetupOption& option,
                                 std::filesystem::path drive, std::filesystem::path workFolder,
                                 SetupFormatTarget target)
    : m_option(option), m_drive(std::move(drive)),
      m_volume(target.volume.empty() ? m_drive.string() : target.volume) {
    m_setup.setupDir = option.setupDir;
    m_setup.setupFileName = option.setupFileName;
    m_setup.workFolder = std::move(workFolder);
    m_setup.environment = target.environment;
    m_setup.formatter = target.formatter;
    m_setup.formatter.setEnvironment(target.environment);
}

viewer::appdlg::CardFacts SetupCardFormat::Facts() const {
    return CardFormatFlow(m_setup).ReadFacts(m_volume);
}

std::uint32_t SetupCardFormat::ButtonClusterBytes(std::uint64_t totalBytes) const {
    if (totalBytes < kLargeCardBytes) {
        return kSmallCardClusterBytes;
    }
    return static_cast<std::uint32_t>(m_option.formatCluster) * 1024u;
}

CardFormatReport SetupCardFormat::Run(const CExLangManager& language, QWidget* parent,
                                      std::uint32_t clusterBytes,
                                      const std::optional<std::string>& label,
                                      const std::optional<std::string>& settingsFile) const {
    CardFormatRequest request;
    request.drive = m_volume;
    request.keepSettingsFile = true;
    request.settingsFileAfterFormat = settingsFile;
    request.label = label;
    request.clusterBytes = clusterBytes;
    // The clock file beside the settings file and the reset request at the root.
    const std::filesystem::path folder = m_option.SettingsFolder(std::filesystem::path());
    request.otherFiles = {{folder / TimeSetFile::kTimeSetName, {}},
                          {std::filesystem::path(TimeSetFile::kResetName), {}}};

    QDialog running(parent);
    running.setObjectName(QStringLiteral("setupFormatRunning"));
    running.setWindowTitle(setup::SetupText(language, "format title"));
    running.setModal(true);
    auto* layout = new QVBoxLayout(&running);
    layout->addWidget(new QLabel(setup::SetupText(language, "format running"), &running));

    // The box stays until the worker is done: closed earlier (Esc), it is shown again.
    CardFormatReport report;
    std::atomic<bool> done{false};
    const CardFormatFlow flow(m_setup);
    std::thread worker([&] {
        report = flow.Run(request);
        done = true;
        QMetaObject::invokeMethod(&running, &QDialog::accept, Qt::QueuedConnection);
    });
    while (!done) {
        running.exec();
    }
    worker.join();
    return report;
}
