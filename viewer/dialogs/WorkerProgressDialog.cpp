#include "viewer/dialogs/WorkerProgressDialog.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace viewer::dialogs {

WorkerProgressDialog::WorkerProgressDialog(const QString& title, const QString& cancelText,
                                           QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    m_bar = new QProgressBar(this);
    m_bar->setMinimumWidth(320);
    m_bar->setRange(0, 0);
    layout->addWidget(m_bar);
    m_cancelButton = new QPushButton(cancelText, this);
    m_cancelButton->setObjectName(QStringLiteral("2"));
    m_cancelButton->setAutoDefault(false);
    layout->addWidget(m_cancelButton, 0, Qt::AlignRight);
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { Cancel(); });
}

WorkerProgressDialog::~WorkerProgressDialog() {
    JoinWorker();
}

void WorkerProgressDialog::JoinWorker() {
    m_cancel = true;
    if (m_worker.joinable()) {
        m_worker.join();
    }
}

void WorkerProgressDialog::Cancel() {
    m_cancel = true;
    m_cancelButton->setEnabled(false);
}

void WorkerProgressDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_started) {
        m_started = true;
        Start();
    }
}

void WorkerProgressDialog::Start() {
    m_worker = std::thread([this] {
        Work(m_cancel,
             [this](std::int64_t position, std::int64_t range) { Report(position, range); });
        QMetaObject::invokeMethod(
            this, [this] { OnWorkEnded(); }, Qt::QueuedConnection);
    });
}

// Worker thread: keeps the latest position and queues one update at a time.
void WorkerProgressDialog::Report(std::int64_t position, std::int64_t range) {
    m_position = position;
    m_range = range;
    if (!m_progressQueued.exchange(true)) {
        QMetaObject::invokeMethod(
            this, [this] { ShowProgress(); }, Qt::QueuedConnection);
    }
}

// The bar takes int values: a long range is scaled down to fit.
void WorkerProgressDialog::ShowProgress() {
    m_progressQueued = false;
    std::int64_t range = m_range;
    std::int64_t position = m_position;
    while (range > std::numeric_limits<int>::max()) {
        range /= 2;
        position /= 2;
    }
    m_bar->setRange(0, static_cast<int>(range));
    m_bar->setValue(static_cast<int>(std::min(position, range)));
}

void WorkerProgressDialog::OnWorkEnded() {
    if (m_worker.joinable()) {
        m_worker.join();
    }
    ShowProgress();
    m_finished = true;
    QDialog::done(QDialog::Accepted);
}

void WorkerProgressDialog::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void WorkerProgressDialog::closeEvent(QCloseEvent* event) {
    if (!m_finished) {
        Cancel();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void WorkerProgressDialog::reject() {
    if (m_finished) {
        QDialog::reject();
    }
}

} // namespace viewer::dialogs
