#pragma once
// The drawing device on a window: it makes surfaces, owns the video processor that records blits
// into the back buffer, and presents the back buffer into the window's client area through a
// presenter widget that covers the window. Two backends give the same pictures: OpenGL (a
// QOpenGLWidget converting and adjusting in a shader on the GUI thread) and software (the caller's
// thread converts and scales into a QImage that a plain widget paints).
//
// Locks: the caller holds the renderer's lock (given at creation) around surface writes,
// record() and present(); the OpenGL presenter takes the same lock while it reads surfaces.

#include "platform/video/VideoFrame.h"
#include "platform/video/VideoProcessor.h"
#include "platform/video/VideoSurface.h"

#include <QPointer>
#include <QWidget>
#include <atomic>
#include <memory>
#include <mutex>

namespace tachy::video {

class VideoDevice {
public:
    // The backend for this process: software always under Qt's offscreen and minimal platforms
    // (no window system to draw with GL); else TACHY_VIDEO=software or opengl when set; else
    // OpenGL when a context on a GPU can be made, software otherwise (no context, or one that
    // rasterizes on the CPU). The choice and its reason go to the debug output once, and again
    // only when they change.
    static VideoBackend chooseBackend();
    // Makes the device on `window` (GUI thread); null when the backend cannot start.
    static std::unique_ptr<VideoDevice> create(QWidget* window, std::mutex& rendererLock);
    static std::unique_ptr<VideoDevice> create(QWidget* window, std::mutex& rendererLock, VideoBackend backend);

    virtual ~VideoDevice();
    VideoDevice(const VideoDevice&) = delete;
    VideoDevice& operator=(const VideoDevice&) = delete;

    virtual VideoBackend backend() const = 0;
    VideoProcessor& processor() { return m_processor; }
    std::unique_ptr<VideoSurface> createSurface(int width, int height, SurfaceFormat format) const;

    // Called by the processor: adds a blit to the back buffer being built.
    void record(const BlitCommand& blit);
    // Shows the blits recorded since the last present in the client area. False, with nothing
    // shown, once the device is lost.
    bool present(const VideoRect& client);
    // Drops what was recorded without showing it.
    void discard();
    // Forgets every frame that refers to surfaces, before surfaces are freed (renderer's lock held).
    virtual void dropFrames() { discard(); }

    // A lost device refuses to present until it is made again (the OpenGL context went away).
    bool lost() const { return m_lost; }
    void markLost() { m_lost = true; }
    // True once the device has shown a picture: a device lost before that never worked here.
    virtual bool drewPicture() const { return true; }

    QWidget* presenter() const;

protected:
    VideoDevice(QWidget* window, std::mutex& rendererLock);
    // Hands a finished frame to the presenter; false on failure.
    virtual bool show(VideoFrame frame) = 0;
    void adoptPresenter(QWidget* presenter);
    std::mutex& rendererLock() { return m_rendererLock; }

private:
    class Fit;

    std::mutex& m_rendererLock;
    VideoProcessor m_processor{*this};
    VideoFrame m_frame;  // guarded by the renderer's lock
    std::atomic<bool> m_lost{false};
    QWidget* m_window;
    QPointer<QWidget> m_presenter;  // a child of the window; deleted with the device
    std::unique_ptr<Fit> m_fit;
};

} // namespace tachy::video
