#pragma once
// The incident marks over the play bar's position slider: a small triangle per incident of
// the recording playing, at its time along the slider, coloured by kind (hard braking red,
// impact magenta, sharp turn amber), with a tool tip of its kind, time and strength. A click on
// a mark asks the play bar to go there. GUI thread only.

#include "cli/IncidentFinder.h"

#include <QString>
#include <QWidget>

#include <vector>

namespace viewer::playbar {

class IncidentMarkStrip : public QWidget {
    Q_OBJECT

public:
    struct Mark {
        tachy::cli::Incident incident;
        double fraction = 0; // where along the recording, 0 to 1
        QString tip;
    };

    explicit IncidentMarkStrip(QWidget* parent = nullptr);

    void SetMarks(std::vector<Mark> marks);
    const std::vector<Mark>& Marks() const { return m_marks; }
    // Where the slider's range starts and ends inside the strip's width (half its thumb), so
    // that a mark stands over the thumb's place at that time.
    void SetInset(int pixels);
    // The mark's centre along the strip, and the rectangle that takes its clicks.
    int MarkX(int index) const;
    QRect MarkRect(int index) const;
    // The mark under a point (the nearest within its rectangle), or -1.
    int MarkAt(const QPoint& point) const;

    static QColor KindColour(tachy::cli::Incident::Kind kind);

signals:
    void markClicked(int index);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::vector<Mark> m_marks;
    int m_inset = 0;
};

} // namespace viewer::playbar
