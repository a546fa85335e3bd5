#pragma once
// The full-screen window: one display over the whole screen, with the play bar's place cut out
// of the window so the bar shows through; the display is recovered on a timer when lost.

#include "viewer/boxes/DisplayHost.h"

#include <QWidget>
#include <atomic>

class CWndDisplay;
struct ViewerContext;

class CFullScreen : public QWidget {
public:
    static constexpr int kControlId = 131;

    CFullScreen(QWidget* parent, const ViewerContext& context, int format);
    ~CFullScreen() override;

    bool IsCreated() const { return m_display != nullptr; }
    CWndDisplay* Display() const { return m_display; }
    void SetPlaying(bool playing) { m_playing = playing; }
    void SetSuppressRedraw(bool suppress) { m_suppressRedraw = suppress; }
    void SetPictureControlsDisabled(bool disabled) { m_controlsDisabled = disabled; }
    void SetBrightness(int value);
    void SetContrast(int value);
    // Zoom back to 100 %, remembering the value given.
    void ResetZoom(int value);
    // Which channel the window shows (the main window's main channel).
    void SetMainChannel(int channel) { m_mainChannel = channel; }
    int MainChannel() const { return m_mainChannel; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CutOutPlayBar();

    const ViewerContext& m_context;
    viewer::DisplaySetup m_setup;
    CWndDisplay* m_display = nullptr;  // a child of this window
    std::atomic<bool> m_playing{false};
    bool m_suppressRedraw = false;
    bool m_controlsDisabled = false;
    int m_zoomResetValue = 0;
    int m_mainChannel = 0;
    int m_timer = 0;
};
