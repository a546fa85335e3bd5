#pragma once
// A scroll bar drawn from skin images (track and thumb), vertical by default. The thumb's length
// shows the visible page against the whole; dragging it, clicking the track (a page) and the
// wheel change the value.

#include "platform/input/WheelSteps.h"

#include <QImage>
#include <QWidget>

class CCtrlScrollBar : public QWidget {
    Q_OBJECT

public:
    explicit CCtrlScrollBar(Qt::Orientation orientation = Qt::Vertical, QWidget* parent = nullptr);

    void SetImages(const QImage& track, const QImage& thumb);
    // The value runs from 0 to maximum; page is the visible part.
    void SetRange(int maximum, int page);
    void SetValue(int value);
    int GetValue() const { return m_value; }
    int GetMaximum() const { return m_maximum; }
    // The thumb's rectangle in the control (empty when nothing scrolls).
    QRect ThumbRect() const;
    QSize sizeHint() const override;

signals:
    void valueChanged(int value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    int along(const QPoint& point) const;
    int length() const;
    int thumbLength() const;

    Qt::Orientation m_orientation;
    QImage m_track;
    QImage m_thumb;
    int m_maximum = 0;
    int m_page = 1;
    int m_value = 0;
    tachy::input::WheelSteps m_wheel;  // touchpads send fractions of a notch
    int m_dragOffset = -1;  // where in the thumb the drag holds it; -1 when not dragging
};
