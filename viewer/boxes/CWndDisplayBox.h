#pragma once
// A framed box of the main window holding one camera's display: its frame image from the skin,
// the display placed at the skin's "Display Frame" inside it, the logo while nothing plays, and
// recovery of a lost display every 500 ms.

#include "viewer/boxes/DisplayHost.h"

#include <QWidget>
#include <atomic>

class CWndDisplay;
struct ViewerContext;

class CWndDisplayBox : public QWidget {
public:
    // `position`: 0 front, 1 rear, 2 third. `logoAtOwnSize` is the viewer's logo setting.
    CWndDisplayBox(QWidget* parent, const ViewerContext& context, int position, int format, int logoAtOwnSize);
    ~CWndDisplayBox() override;

    // False when no display could be made (the box is then unusable).
    bool IsCreated() const { return m_display != nullptr; }
    CWndDisplay* Display() const { return m_display; }
    int Position() const { return m_position; }
    int Format() const { return m_setup.format; }

    // Playing: redraws show the picture; not playing: the logo.
    void SetPlaying(bool playing);
    bool IsPlaying() const { return m_playing; }
    void SetSuppressRedraw(bool suppress) { m_suppressRedraw = suppress; }
    void SetHighlighted(bool highlighted);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    const ViewerContext& m_context;
    int m_position;
    viewer::DisplaySetup m_setup;
    CWndDisplay* m_display = nullptr;  // a child of this box
    std::atomic<bool> m_playing{false};
    bool m_suppressRedraw = false;
    bool m_highlighted = false;
    int m_timer = 0;
};
