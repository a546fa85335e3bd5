#pragma once
// The trip figures: distance, duration, average and top speed of the recording playing and of
// the whole card. The card's figures are read in the background, recording by recording, with
// a progress bar; the dialog never waits for them. GUI thread only (the scan's results come
// over by queued calls).

#include "engine/CTimeList.h"
#include "viewer/trip/TripFigures.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class CExLangManager;
class QLabel;
class QProgressBar;
class QPushButton;

namespace viewer::trip {

class DrivingScan;
struct DrivingScanResult;

class CTripDialog : public QDialog {
    Q_OBJECT

public:
    // `playing` is the recording playing, if any; `card` every recording of the card.
    // `language` is borrowed and must outlive the dialog (may be null).
    CTripDialog(const CExLangManager* language, std::optional<CTimeList> playing,
                std::vector<CTimeList> card, QWidget* parent = nullptr);
    ~CTripDialog() override;

    // What the rows show; for tests and the window's automation.
    enum Row { kDistance, kDuration, kAverage, kTop, kRowCount };
    bool EntryDone() const { return m_entryDone; }
    bool CardDone() const { return m_cardRead == m_cardTotal; }
    int CardRead() const { return m_cardRead; }
    int CardTotal() const { return m_cardTotal; }
    const TripFigures& EntryFigures() const { return m_entryFigures; }
    const TripFigures& CardFigures() const { return m_cardFigures; }
    QString EntryText(Row row) const;
    QString CardText(Row row) const;
    QProgressBar* CardProgress() const { return m_progress; }

signals:
    void cardFinished();

private:
    enum Generation : std::uint64_t { kEntryScan = 1, kCardScan = 2 };

    QWidget* MakeColumn(const char* titleKey, const char* titleFallback,
                        std::array<QLabel*, kRowCount>& values);
    void OnResult(const DrivingScanResult& result);
    static void Show(std::array<QLabel*, kRowCount>& values, const TripFigures& figures, bool any);

    const CExLangManager* m_language;
    std::array<QLabel*, kRowCount> m_entryValues{}; // children
    std::array<QLabel*, kRowCount> m_cardValues{};  // children
    QProgressBar* m_progress = nullptr;             // child
    TripFigures m_entryFigures;
    TripFigures m_cardFigures;
    bool m_entryDone = false;
    int m_cardRead = 0;
    int m_cardTotal = 0;
    std::unique_ptr<DrivingScan> m_scan; // last member: stopped before the rest goes
};

} // namespace viewer::trip
