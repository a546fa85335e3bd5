#include "viewer/dialogs/CDoExportVideo.h"

#include "cli/EstimatedProgress.h"
#include "viewer/dialogs/DialogTexts.h"

#include <QBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include <cmath>

namespace viewer::dialogs {

CDoExportVideo::CDoExportVideo(const CExLangManager& language, tachy::viewer::VideoExport work,
                               QWidget* parent)
    : WorkerProgressDialog(DialogTexts::Text(language, "export video title"),
                           DialogTexts::Text(language, "common cancel"), parent),
      m_language(language), m_work(std::move(work)) {
    setObjectName(QStringLiteral("CDoExportVideo"));
    m_timeLeft = new QLabel(this);
    m_timeLeft->setObjectName(QStringLiteral("timeLeft"));
    if (auto* box = qobject_cast<QBoxLayout*>(layout())) {
        box->insertWidget(1, m_timeLeft);
    }
    m_clock = new QTimer(this);
    m_clock->setInterval(250);
    connect(m_clock, &QTimer::timeout, this, [this] { ShowTimeLeft(); });
}

CDoExportVideo::~CDoExportVideo() {
    JoinWorker();
}

void CDoExportVideo::showEvent(QShowEvent* event) {
    if (!m_spent.isValid()) {
        m_spent.start();
        m_clock->start();
    }
    WorkerProgressDialog::showEvent(event);
}

void CDoExportVideo::Work(const std::atomic<bool>& cancel, const Progress& progress) {
    m_outcome = m_work.Run(cancel, progress);
}

// The bar holds the milliseconds of the span done and in all.
void CDoExportVideo::ShowTimeLeft() {
    const QProgressBar* bar = Bar();
    const auto left = tachy::cli::EstimatedProgress::SecondsLeft(
        static_cast<double>(m_spent.elapsed()) / 1000.0, bar->value() - bar->minimum(),
        bar->maximum() - bar->minimum());
    if (left) {
        m_timeLeft->setText(DialogTexts::WithNumber(m_language, "export time left",
                                                    std::llround(std::ceil(*left))));
    }
}

} // namespace viewer::dialogs
