#pragma once
// The display window on the renderer (CDxDisplay): layouts, drawing entry points, zoom and mode
// settings, and the mouse rules. Pictures and draws may come from engine threads: they go
// through the renderer's lock and the presenter's queued repaint, never waiting for the GUI
// thread. Mouse handling and layout run on the GUI thread.

#include "display/CDxDisplay.h"
#include "display/CWndDisplay.h"
#include "platform/input/WheelSteps.h"

#include <QPointer>
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

class CWndScrD3D : public CWndDisplay, public CDxDisplay {
public:
    explicit CWndScrD3D(QWidget* parent);
    ~CWndScrD3D() override;

    int CreateScreen(QWidget* owner, unsigned long, unsigned long) override;
    int CreateScreen(QWidget* owner, unsigned long, unsigned long, const QImage* logo, int format) override;
    int CreateScreen(QWidget* owner, unsigned long, unsigned long, const QImage* logo) override;
    int LoadLogo(int index, const QImage* bitmap) override;
    void SetShowLogoIndex(int index) override { SetLogoIndex(index); }
    void SetLogoSize(int ownSize) override { SetLogoAtOwnSize(ownSize); }
    void InitLayout(int layout) override;
    void UpdateScreen(int logo) override;
    void SetLayout(int layout, int subIndex) override;
    void SetMaxLayout(int layout) override;
    void SetInitFont(const QString& face, int height, const QString& text, unsigned long colour) override;
    void SetBackgroundColor(unsigned short y, unsigned short cb, unsigned short cr) override;
    void UpdateScreen2(int logo) override;
    int SetVidStream(int screen, const unsigned char* const* planes, int width, int height, int, int format,
                     const int* strides) override;
    int SetVidStream(int screen, const unsigned char* data, int width, int height, int, int format) override;
    void SetVidReverse(unsigned char mode) override { SetReverse(mode); }
    int GetVidReverse() override { return Reverse(); }
    unsigned char* GetPrintData(int screen, const unsigned char* source, unsigned long width, unsigned long height,
                                int format) override;
    using CWndDisplay::GetPrintData;
    void ReleaseAllScreen() override;
    unsigned long GetImageWidth(int) override { return PictureWidth(); }
    unsigned long GetImageHeight(int) override { return PictureHeight(); }
    void ReleaseDDraw() override;
    void SetDisplayID(int id) override;
    void SetAspectRatioMode(unsigned long mode, int keepRatio) override { SetAspect(mode, keepRatio); }
    void SetSizeOriginal(int original) override { SetOriginalSize(original); }
    void SetDisplayStatue(int enabled) override { SetDrawing(enabled); }
    int ResetDisplay() override { return ResetRenderer(); }
    QString GetDisplayIdentifier() override { return QStringLiteral("DirectD3D9"); }
    void ShowPIP(int value) override { m_showPip = value; }
    int GetZoomInfo() override { return CDxDisplay::GetZoomInfo(); }
    void SetZoomInfo(int level, QPoint point) override { CDxDisplay::SetZoomInfo(level, point.x(), point.y()); }
    using CDxDisplay::SetZoomInfo;
    void SetDispZoomPIP(int shown, int corner) override { CDxDisplay::SetDispZoomPIP(shown, corner); }
    void SetZoomOption(int option) override { m_zoomOption = option; }
    void GetDispZoomStatus(int& level, QPoint& point, QRect& zoomed, QRect& client) override;
    void SetDispZoomStatus(int& level, QPoint& point, QRect& zoomed, QRect& client) override;
    using CDxDisplay::GetDispZoomStatus;
    using CDxDisplay::SetDispZoomStatus;
    void SetZoomMode(int mode) override { m_zoomMode = mode; }
    void SetState(int state) override { m_state = state; }
    int GetState() override { return m_state; }
    int GetResetState() override { return ResetFlag(); }
    void SetResetState(int flag) override { SetResetFlag(flag); }
    int GetZoomPIPshow() override { return CDxDisplay::GetZoomPIPshow(); }
    int GetZoomPIPpos() override { return CDxDisplay::GetZoomPIPpos(); }
    void DeleteLogo() override { DeleteRendererLogos(); }
    void SetBrightness(int value) override { SetProcAmp(tachy::video::ProcAmpProperty::Brightness, value); }
    void SetContrast(int value) override { SetProcAmp(tachy::video::ProcAmpProperty::Contrast, value); }
    void SetSaturation(int value) override { SetProcAmp(tachy::video::ProcAmpProperty::Saturation, value); }

    // The screens of a layout as last laid out (GUI thread).
    std::vector<tachy::video::VideoRect> Screens(int layout) const;
    int ZoomOption() const { return m_zoomOption; }
    int ZoomMode() const { return m_zoomMode; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    tachy::video::VideoRect ClientRect() const;
    void DrawAndReport(int logo);
    void Notify(std::uintptr_t code, std::intptr_t argument, bool send);
    void ForwardMove(QMouseEvent* event);
    bool HitScreen(const QPoint& point) const;
    void Redraw();
    void StartPan(const QPoint& point);

    QPointer<QWidget> m_owner;
    QWidget* m_parent;  // immutable: the parent that owns this window
    std::array<std::vector<tachy::video::VideoRect>, 5> m_screens;  // GUI thread
    int m_maxLayout = 0;
    int m_layout = 0;
    int m_subIndex = 0;
    std::atomic<bool> m_layoutDirty{true};
    std::atomic<int> m_clientWidth{0};
    std::atomic<int> m_clientHeight{0};
    std::atomic<int> m_displayIdValue{0};
    std::atomic<int> m_state{0};
    std::atomic<int> m_zoomOption{1};
    std::atomic<int> m_zoomMode{1};
    std::atomic<int> m_showPip{0};
    std::array<unsigned short, 3> m_background{};
    bool m_dragging = false;  // GUI thread
    tachy::input::WheelSteps m_wheel;  // GUI thread
    QPoint m_lastDrag;
};
