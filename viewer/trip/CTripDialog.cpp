#include "viewer/trip/CTripDialog.h"

#include "viewer/trip/DrivingScan.h"
#include "viewer/trip/TripTexts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace viewer::trip {
namespace {

struct RowText {
    const char* key;
    const char* fallback;
};
constexpr std::array<RowText, CTripDialog::kRowCount> kRowTexts{{
    {"trip distance", "Distance"},
    {"trip duration", "Duration"},
    {"trip average", "Average speed"},
    {"trip top", "Top speed"},
}};

} // namespace

CTripDialog::CTripDialog(const CExLangManager* language, std::optional<CTimeList> playing,
                         std::vector<CTimeList> card, QWidget* parent)
    : QDialog(parent), m_language(language) {
    setWindowTitle(TripText(language, "trip title", "Trip"));
    auto* columns = new QHBoxLayout;
    columns->addWidget(MakeColumn("trip recording", "Recording playing", m_entryValues));
    columns->addWidget(MakeColumn("trip card", "Whole card", m_cardValues));
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, std::max<int>(static_cast<int>(card.size()), 1));
    m_progress->setValue(0);
    m_progress->setFormat(TripText(language, "trip reading", "Reading driving data: %v of %m"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(TripText(language, "trip close", "Close"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(m_progress);
    layout->addWidget(buttons);

    m_scan = std::make_unique<DrivingScan>([this](DrivingScanResult result) {
        QMetaObject::invokeMethod(
            this, [this, result = std::move(result)] { OnResult(result); }, Qt::QueuedConnection);
    });
    std::vector<DrivingScanJob> jobs;
    if (playing) {
        jobs.push_back(DrivingScanJob::FromEntry(*playing, kEntryScan));
    } else {
        m_entryDone = true;
        Show(m_entryValues, m_entryFigures, false);
    }
    m_cardTotal = static_cast<int>(card.size());
    for (const CTimeList& entry : card) {
        jobs.push_back(DrivingScanJob::FromEntry(entry, kCardScan));
    }
    Show(m_cardValues, m_cardFigures, false);
    if (m_cardTotal == 0) { // nothing loaded: nothing to wait for
        m_progress->setValue(m_progress->maximum());
        m_progress->setFormat(TripText(language, "trip read", "Read: %m recordings")
                                  .replace(QLatin1String("%m"), QLatin1String("0")));
    }
    m_scan->Queue(std::move(jobs));
}

CTripDialog::~CTripDialog() = default;

QWidget* CTripDialog::MakeColumn(const char* titleKey, const char* titleFallback,
                                 std::array<QLabel*, kRowCount>& values) {
    auto* group = new QGroupBox(TripText(m_language, titleKey, titleFallback), this);
    auto* form = new QFormLayout(group);
    for (std::size_t row = 0; row < values.size(); ++row) {
        values[row] = new QLabel(group);
        values[row]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(TripText(m_language, kRowTexts[row].key, kRowTexts[row].fallback),
                     values[row]);
    }
    return group;
}

void CTripDialog::OnResult(const DrivingScanResult& result) {
    if (result.generation == kEntryScan) {
        m_entryFigures = result.trip;
        m_entryDone = true;
        Show(m_entryValues, m_entryFigures, result.readable);
        return;
    }
    m_cardFigures.Merge(result.trip);
    ++m_cardRead;
    m_progress->setValue(m_cardRead);
    Show(m_cardValues, m_cardFigures, m_cardFigures.DurationMs() > 0);
    if (CardDone()) {
        m_progress->setFormat(TripText(m_language, "trip read", "Read: %m recordings"));
        emit cardFinished();
    }
}

// Figures not known yet (or of nothing readable) show a dash; without a single fix the
// distance and speeds say so instead of a misleading zero.
void CTripDialog::Show(std::array<QLabel*, kRowCount>& values, const TripFigures& figures,
                       bool any) {
    const QString none = QStringLiteral("–");
    values[kDuration]->setText(any ? DurationText(figures.DurationMs()) : none);
    const bool fixes = any && figures.Fixes() > 0;
    values[kDistance]->setText(fixes ? DistanceText(figures.DistanceKm()) : none);
    values[kAverage]->setText(fixes ? SpeedText(figures.AverageSpeedKmh()) : none);
    values[kTop]->setText(fixes ? SpeedText(figures.TopSpeedKmh()) : none);
}

QString CTripDialog::EntryText(Row row) const {
    return m_entryValues[static_cast<std::size_t>(row)]->text();
}

QString CTripDialog::CardText(Row row) const {
    return m_cardValues[static_cast<std::size_t>(row)]->text();
}

} // namespace viewer::trip
