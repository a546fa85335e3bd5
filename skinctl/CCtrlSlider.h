#pragma once
// A horizontal slider drawn from skin images: the track, the part before the thumb, the part
// after it and the thumb. It reports presses, releases and moves to its owner with the
// notification codes the programs' windows expect, carrying its id and position.

#include "platform/input/WheelSteps.h"

#include <QImage>
#include <QWidget>

class CCtrlSlider : public QWidget {
    Q_OBJECT

public:
    static constexpr int kNotifyPress = 0x410;
    static constexpr int kNotifyRelease = 0x411;
    static constexpr int kNotifyMove = 0x412;

    struct Images {
        QImage track;
        QImage before;  // from the start to the thumb
        QImage after;   // from the thumb to the end
        QImage thumb;
    };

    explicit CCtrlSlider(int id, QWidget* parent = nullptr);

    void SetImages(const Images& images);
    void SetRange(int minimum, int maximum);
    // Clamped to the range; does not notify.
    void SetPos(int position);
    int GetPos() const { return m_position; }
    int GetRangeMin() const { return m_minimum; }
    int GetRangeMax() const { return m_maximum; }
    int GetId() const { return m_id; }
    bool IsDragging() const { return m_dragging; }
    QSize sizeHint() const override;

signals:
    // message is kNotifyPress, kNotifyRelease or kNotifyMove.
    void notify(int message, int id, int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    QSize thumbSize() const;
    int thumbCentre() const;
    int positionAt(int x) const;
    void moveTo(int position);

    int m_id;
    Images m_images;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_position = 0;
    bool m_dragging = false;
    tachy::input::WheelSteps m_wheel;  // touchpads send fractions of a notch
};
