#pragma once
// The display's renderer, on the video layer here (OpenGL or software instead of Direct3D 9 and
// the DXVA2 video processor): two 3840 x 2160 surfaces for the picture and its overview, logo
// surfaces, fitting, zoom and pan, the overview with its red frame, ProcAmp and print buffers.
//
// Locks: m_lock guards the device, the surfaces and the picture fields for uploads, draws and
// resets, which may come from engine threads. Zoom, aspect and mode fields are atomics read at
// the next draw; the zoom state and the logo caption are guarded by m_lock too.

#include "display/DisplayGeometry.h"
#include "platform/video/VideoDevice.h"

#include <QFont>
#include <QImage>
#include <QString>
#include <array>
#include <atomic>
#include <memory>
#include <mutex>

class QWidget;

class CDxDisplay {
public:
    static constexpr int kSurfaceWidth = 3840;
    static constexpr int kSurfaceHeight = 2160;
    static constexpr std::size_t kPrintBufferBytes = 1920 * 1088 * 4;
    static constexpr tachy::video::YCbCrColour kBackground{0x3600, 0x8400, 0x7E00, 0xFFFF};
    // OpenGL devices lost in a row, without a picture shown, before the display draws in software.
    static constexpr int kOpenGlAttempts = 3;

    CDxDisplay();
    virtual ~CDxDisplay();
    CDxDisplay(const CDxDisplay&) = delete;
    CDxDisplay& operator=(const CDxDisplay&) = delete;

    virtual int GetZoomInfo();
    virtual void SetZoomInfo(int level, int x, int y);
    // Adds the distance from (x0, y0) to (x1, y1) to the pending pan.
    virtual void Move(int x0, int y0, int x1, int y1);
    virtual void GetDispZoomStatus(int& level, int& x, int& y, tachy::video::VideoRect& zoomed,
                                   tachy::video::VideoRect& client);
    virtual void SetDispZoomStatus(int& level, int& x, int& y, tachy::video::VideoRect& zoomed,
                                   tachy::video::VideoRect& client);
    virtual void SetDispZoomPIP(int shown, int corner);
    virtual int GetZoomPIPshow();
    virtual int GetZoomPIPpos();

    // Builds the device on `window` with surfaces of the screen format (4: 32-bit, 5 to 7:
    // YV12) and, when `logo` is given, the default logo. 1 = ready.
    int CreateRenderer(QWidget* window, int screenFormat, const QImage* logo);
    // Numbered logo 0 to 2: the bitmap, else "logo/logo.bmp", else black; with the caption.
    int LoadRendererLogo(int index, const QImage* bitmap);
    void DeleteRendererLogos();
    // Uploads a picture into surface `screen`; 1 = accepted.
    int UploadPlanes(int screen, const std::uint8_t* const* planes, int width, int height, int format,
                     const int* strides);
    int UploadBuffer(int screen, const std::uint8_t* data, int width, int height, int format);
    // Draws the picture (or the logo) into the client area; 1 = presented.
    int Draw(const tachy::video::VideoRect& client, int logo);
    int ResetRenderer();
    void ReleaseRenderer();
    unsigned char* PrintData(int screen, const unsigned char* source, unsigned long width, unsigned long height,
                             int format);

    void SetCaption(const QFont& font, const QString& text, unsigned long colour);
    void SetLogoIndex(int index) { m_logoIndex = index; }
    void SetLogoAtOwnSize(int ownSize) { m_logoOwnSize = ownSize; }
    void SetAspect(unsigned long mode, int keepRatio);
    void SetOriginalSize(int original);
    bool OriginalSize() const { return m_originalSize != 0; }
    void SetDrawing(int enabled) { m_drawing = enabled != 0; }
    void SetReverse(unsigned char mode) { m_reverse = mode; }
    unsigned char Reverse() const { return m_reverse; }
    void SetRendererId(int id) { m_displayId = id; }
    void SetProcAmp(tachy::video::ProcAmpProperty property, int value);
    int ResetFlag() const { return m_resetFlag ? 1 : 0; }
    void SetResetFlag(int flag) { m_resetFlag = flag != 0; }
    unsigned long PictureWidth() const { return m_pictureWidth; }
    unsigned long PictureHeight() const { return m_pictureHeight; }

    // For tests and prints.
    tachy::video::VideoDevice* Device() { return m_device.get(); }
    tachy::video::ProcAmpValues UserProcAmp();
    tachy::video::ProcAmpRange Range(tachy::video::ProcAmpProperty property) const;
    std::mutex& RendererLock() { return m_lock; }

private:
    // What the overview surface holds: the picture of this surface and generation, framed round
    // this visible part with bands this wide.
    struct OverviewContent {
        std::uint64_t pictureId = 0;
        std::uint64_t pictureGeneration = 0;
        tachy::video::VideoRect framed;
        int band = 0;
        bool valid = false;
        bool operator==(const OverviewContent&) const = default;
    };

    struct ProcAmpControl {
        tachy::video::ProcAmpRange range;
        bool supported = false;
        int user = 0;
    };

    std::unique_ptr<tachy::video::VideoDevice> MakeDevice(QWidget* window);
    void CountOpenGlFailure(const tachy::video::VideoDevice* device);
    bool CreateSurfaces();
    void QueryProcAmpRanges();
    std::unique_ptr<tachy::video::VideoSurface> MakeLogo(const QImage* bitmap, bool withCaption) const;
    std::unique_ptr<tachy::video::VideoDevice> ReleaseObjects();
    tachy::video::ProcAmpValues CurrentProcAmp() const;
    bool AcceptsUpload(int screen, int width, int height, int format) const;
    void FinishUpload(int width, int height);
    void DrawLogo(const tachy::video::VideoRect& client);
    void DrawPicture(const tachy::video::VideoRect& client);
    void DrawOverview(const tachy::video::VideoRect& client, const tachy::video::VideoRect& visibleSource);
    void RefreshOverview(const tachy::video::VideoRect& visibleSource);
    void MarkOverview(const tachy::video::VideoRect& visibleSource, int penWidth);

    std::mutex m_lock;
    QWidget* m_window = nullptr;                          // guarded by m_lock
    std::unique_ptr<tachy::video::VideoDevice> m_device;  // guarded by m_lock
    int m_openGlFailures = 0;                             // guarded by m_lock
    std::atomic<bool> m_softwareFallback{false};          // set once, never cleared
    std::array<std::unique_ptr<tachy::video::VideoSurface>, 4> m_surfaces;  // 0 picture, 1 overview
    std::unique_ptr<tachy::video::VideoSurface> m_defaultLogo;
    std::array<std::unique_ptr<tachy::video::VideoSurface>, 3> m_logos;
    QImage m_defaultLogoBitmap;               // kept to rebuild the logo after a reset
    std::array<QImage, 3> m_logoBitmaps;
    int m_screenFormat = 4;
    int m_pictureFormat = 0;                  // of the last upload
    std::atomic<unsigned long> m_pictureWidth{0};
    std::atomic<unsigned long> m_pictureHeight{0};
    int m_wideFlag = 1;
    bool m_hasPicture = false;
    std::atomic<bool> m_resetFlag{false};
    std::atomic<bool> m_drawing{true};
    std::atomic<unsigned long> m_aspectMode{0x10000};
    std::atomic<int> m_keepRatio{0};
    std::atomic<int> m_originalSize{0};
    tachy::display::ZoomState m_zoom;  // guarded by m_lock
    std::atomic<int> m_overviewShown{1};
    std::atomic<int> m_overviewCorner{3};
    tachy::video::VideoRect m_overview;  // guarded by m_lock
    OverviewContent m_overviewContent;   // guarded by m_lock
    std::atomic<int> m_logoIndex{-1};
    std::atomic<int> m_logoOwnSize{1};
    std::atomic<unsigned char> m_reverse{0};
    std::atomic<int> m_displayId{0};
    std::array<ProcAmpControl, 3> m_procAmp;  // guarded by m_lock
    QFont m_captionFont;                      // guarded by m_lock
    QString m_captionText;
    unsigned long m_captionColour = 0;
    bool m_hasCaption = false;
    std::array<std::unique_ptr<unsigned char[]>, 4> m_printBuffers;
};
