#include "viewer/main/CLoadRecFile.h"

#include "engine/IIntrReplayEx.h"
#include "engine/UnreadableFileReport.h"
#include "viewer/main/NameRuleSearch.h"

#include <QProgressBar>
#include <QVBoxLayout>

using namespace std::chrono_literals;

namespace {

constexpr unsigned kProgressStep = 112;
// A message box holds this many files; the rest are counted.
constexpr std::size_t kFilesInMessage = 12;

} // namespace

CLoadRecFile::CLoadRecFile(QWidget* parent, IIntrReplayEx& engine, const std::vector<_AVI_NAME_FORMAT2>& rules,
                           Notify notify)
    : QDialog(parent), m_engine(engine), m_rules(rules), m_notify(std::move(notify)),
      m_progress(new QProgressBar(this)) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);
    auto* layout = new QVBoxLayout(this);  // owned by the dialog
    layout->addWidget(m_progress);
    m_progress->setTextVisible(true);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    resize(360, 48);
}

CLoadRecFile::~CLoadRecFile() {
    if (m_worker.joinable()) {
        m_worker.join();
    }
    m_engine.SetProgressCallback(nullptr, nullptr);
}

bool CLoadRecFile::Load() {
    m_engine.SetProgressCallback(&CLoadRecFile::Progress, this);
    m_worker = std::thread([this] { Work(); });
    exec();
    m_worker.join();
    m_engine.SetProgressCallback(nullptr, nullptr);
    return m_success;
}

void CLoadRecFile::Progress(unsigned code, std::intptr_t param, void* data, void* user) {
    auto* dialog = static_cast<CLoadRecFile*>(user);
    if (code != kProgressStep) {
        dialog->m_notify(code, param, data);
        return;
    }
    QMetaObject::invokeMethod(
        dialog->m_progress,
        [bar = dialog->m_progress] { bar->setValue(std::min(bar->value() + 1, bar->maximum())); },
        Qt::QueuedConnection);
}

// Each naming rule in turn until one finds stream files, then the catalogue.
void CLoadRecFile::Work() {
    const NameRuleMatch match = FindNameRule(m_engine, m_rules);
    m_rule = match.rule;
    if (m_rule < 0) {
        Finish(false);
        return;
    }
    const int count = match.count;
    QMetaObject::invokeMethod(m_progress, [bar = m_progress, count] { bar->setRange(0, count); }, Qt::QueuedConnection);
    m_notify(121, m_rule, nullptr);
    const bool success = m_engine.procOpenList() != 0;
    if (success) {
        m_notify(120, 0, nullptr);
        m_notify(0, 0, nullptr);
    }
    QMetaObject::invokeMethod(m_progress, [bar = m_progress, count] { bar->setValue(count); }, Qt::QueuedConnection);
    std::this_thread::sleep_for(10ms);
    Finish(success);
}

void CLoadRecFile::Finish(bool success) {
    m_success = success;
    QMetaObject::invokeMethod(this, [this, success] { done(success ? Accepted : Rejected); }, Qt::QueuedConnection);
}

QString CLoadRecFile::NothingReadableMessage(const QString& card, const std::vector<_AVI_NAME_FORMAT2>& rules) {
    const UnreadableFileReport report(card.toStdString(), rules);
    if (report.Files().empty()) {
        return {};
    }
    return QStringLiteral("No recording in %1 can be played. Files that could not be read:\n%2")
        .arg(card, QString::fromStdString(report.Text(kFilesInMessage)));
}
