#include "viewer/playbar/IncidentMarkStrip.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace viewer::playbar {
namespace {

// Half a mark's width; clicks a little beside a mark still take it.
constexpr int kHalfWidth = 5;
constexpr int kClickSlack = 2;

} // namespace

IncidentMarkStrip::IncidentMarkStrip(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    setMouseTracking(false);
    setFocusPolicy(Qt::NoFocus);
}

void IncidentMarkStrip::SetMarks(std::vector<Mark> marks) {
    m_marks = std::move(marks);
    setCursor(m_marks.empty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
    update();
}

void IncidentMarkStrip::SetInset(int pixels) {
    m_inset = std::max(pixels, 0);
    update();
}

QColor IncidentMarkStrip::KindColour(tachy::cli::Incident::Kind kind) {
    switch (kind) {
    case tachy::cli::Incident::Kind::HardBraking:
        return {0xE5, 0x39, 0x35};
    case tachy::cli::Incident::Kind::Impact:
        return {0xD8, 0x1B, 0xD8};
    case tachy::cli::Incident::Kind::SharpTurn:
        return {0xF5, 0xA5, 0x24};
    }
    return Qt::white;
}

int IncidentMarkStrip::MarkX(int index) const {
    if (index < 0 || index >= static_cast<int>(m_marks.size())) {
        return -1;
    }
    const int span = std::max(width() - 2 * m_inset, 0);
    const double fraction = std::clamp(m_marks[static_cast<std::size_t>(index)].fraction, 0.0, 1.0);
    return m_inset + static_cast<int>(std::lround(span * fraction));
}

QRect IncidentMarkStrip::MarkRect(int index) const {
    const int x = MarkX(index);
    if (x < 0) {
        return {};
    }
    return {x - kHalfWidth - kClickSlack, 0, 2 * (kHalfWidth + kClickSlack) + 1, height()};
}

int IncidentMarkStrip::MarkAt(const QPoint& point) const {
    int best = -1;
    int bestDistance = 0;
    for (int index = 0; index < static_cast<int>(m_marks.size()); ++index) {
        if (!MarkRect(index).contains(point)) {
            continue;
        }
        const int distance = std::abs(point.x() - MarkX(index));
        if (best < 0 || distance < bestDistance) {
            best = index;
            bestDistance = distance;
        }
    }
    return best;
}

bool IncidentMarkStrip::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int index = MarkAt(help->pos());
        if (index >= 0) {
            QToolTip::showText(help->globalPos(), m_marks[static_cast<std::size_t>(index)].tip,
                               this, MarkRect(index));
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QWidget::event(event);
}

// Each mark a triangle pointing down at the slider, later marks over earlier ones.
void IncidentMarkStrip::paintEvent(QPaintEvent* /*event*/) {
    if (m_marks.empty()) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (int index = 0; index < static_cast<int>(m_marks.size()); ++index) {
        const double x = MarkX(index);
        QPainterPath triangle;
        triangle.moveTo(x - kHalfWidth, 0);
        triangle.lineTo(x + kHalfWidth, 0);
        triangle.lineTo(x, height());
        triangle.closeSubpath();
        painter.setPen(QPen(QColor(0x1E, 0x21, 0x26), 1));
        painter.setBrush(KindColour(m_marks[static_cast<std::size_t>(index)].incident.kind));
        painter.drawPath(triangle);
    }
}

void IncidentMarkStrip::mousePressEvent(QMouseEvent* event) {
    const int index = event->button() == Qt::LeftButton ? MarkAt(event->position().toPoint()) : -1;
    if (index < 0) {
        event->ignore();
        return;
    }
    emit markClicked(index);
}

} // namespace viewer::playbar
