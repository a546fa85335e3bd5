#pragma once
// The viewer's G-sensor graph: the three axes of the playing entry's driving data over the whole
// entry, a vertical cursor at the playback position and the current value of each axis. Draws
// into a canvas of the background image's size and stretches it over the widget when painting.
//
// GUI thread only: the main window calls SetState, SetData and SetCursor from its own thread
// (driving-data callbacks are forwarded there first); nothing here is locked.

#include "skinctl/CCtrlGDIpString.h"
#include "viewer/driving/DrivingDataRecord.h"
#include "viewer/panels/GSensorGraphMath.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QWidget>

#include <array>
#include <span>

struct ViewerContext;
class QPaintEvent;

namespace viewer::panels {

class CWndGSensor : public QWidget {
    Q_OBJECT

public:
    // The main window's load state in which the graph shows data.
    static constexpr int kPlayingState = 2;

    // `context` is read here only (skin, language, model code); `gSensorRange` is the option
    // file's "GSenRange" in g.
    CWndGSensor(const ViewerContext& context, int gSensorRange, QWidget* parent = nullptr);

    // Stores the load state; any state but kPlayingState clears the canvas (background, range
    // marks, zero values) and forgets the data. Always repaints.
    void SetState(int state);
    // The language's texts were loaded again: the axis labels and their fonts follow.
    void OnLanguageChanged(const ViewerContext& context);

    // A new entry's driving data: `records` is borrowed, not owned, and must stay valid until
    // the next SetData or a clearing SetState (the main window re-sends after reallocating its
    // table). `count` is limited to the records given. Draws the curves into the canvas.
    void SetData(std::span<const driving::DrivingDataRecord> records, int count, int frameCount);

    // The record under the playback position, kept within [0, count - 1]. Repaints.
    void SetCursor(int recordIndex);

    // What paintEvent stretches over the widget: the canvas with the cursor and value labels.
    QImage ComposeFrame() const;

    int State() const { return m_state; }
    int RecordCount() const { return m_count; }
    int FrameCount() const { return m_frameCount; }
    int CursorIndex() const { return m_cursorIndex; }
    int Scale() const { return m_scale; }
    int Range() const { return m_range; }
    const GraphArea& Area() const { return m_area; }
    QColor CursorColour() const { return m_cursorColour; }
    QColor AxisColour(GSensorAxis axis) const { return m_axisColours[AxisSlot(axis)]; }
    QSize CanvasSize() const { return m_canvas.deviceIndependentSize().toSize(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Label {
        CCtrlGDIpString drawer;
        QRect rect;
    };

    static std::size_t AxisSlot(GSensorAxis axis) { return static_cast<std::size_t>(axis); }

    void LoadSkin(const ViewerContext& context);
    void LoadLabels(const ViewerContext& context);
    void ForgetData();
    void DrawBackground();
    void DrawIndicators(QPainter& painter) const;
    void DrawCurves(QPainter& painter) const;
    void DrawValues(QPainter& painter, const std::array<float, 3>& values) const;
    void DrawCursor(QPainter& painter) const;
    bool ShowsData() const;

    QImage m_background; // copy of the skin's "GSensorBG"
    QImage m_canvas;     // ARGB32, the background's size and device-pixel ratio
    GraphArea m_area;
    std::array<QColor, 3> m_axisColours;
    QColor m_cursorColour;
    double m_penWidth = 1.0;
    int m_scale = 45;
    int m_range = 2; // the range in g the graph scales to and the marks print
    std::array<Label, 3> m_valueLabels;
    std::array<QString, 3> m_axisTexts;
    std::array<Label, 3> m_indicatorLabels; // +range, 0, -range

    std::span<const driving::DrivingDataRecord> m_records; // borrowed from the main window
    int m_count = 0;
    int m_frameCount = 0;
    int m_cursorIndex = 0;
    int m_state = 0;
};

} // namespace viewer::panels
