// Upload and draw of 1920x1080 YV12 pictures into a 1280x720 display window, for each video
// backend, against a plain QImage copy of the same bytes; then three displays at 30 pictures per
// second and the share of one core they take. Run under an X server (xvfb-run) for OpenGL.
// `bench_display opengl` or `bench_display software` measures one backend only (for profiling).

#include "bench/BenchTimer.h"
#include "display/CWndScrD3D.h"
#include "platform/video/VideoDevice.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kPictures = 120;

struct Picture {
    std::vector<std::uint8_t> bytes;
    const std::uint8_t* planes[3] = {};
    int strides[3] = {kWidth, kWidth / 2, kWidth / 2};
};

// A gradient with moving bars, so no two pictures are alike.
Picture makePicture(int index) {
    Picture picture;
    picture.bytes.resize(kWidth * kHeight * 3 / 2);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            picture.bytes[static_cast<std::size_t>(y) * kWidth + x] =
                static_cast<std::uint8_t>(16 + (x + y + index * 8) % 220);
        }
    }
    std::uint8_t* chroma = picture.bytes.data() + kWidth * kHeight;
    for (int i = 0; i < kWidth * kHeight / 2; ++i) {
        chroma[i] = static_cast<std::uint8_t>(96 + (i / 7 + index) % 64);
    }
    picture.planes[0] = picture.bytes.data();
    picture.planes[1] = chroma;
    picture.planes[2] = chroma + kWidth * kHeight / 4;
    return picture;
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Window {
    explicit Window(int count, int width, int height) {
        owner.resize(count == 1 ? width : width * 2, count == 1 ? height : height * 2);
        for (int index = 0; index < count; ++index) {
            auto* display = static_cast<CWndScrD3D*>(CWndDisplay::CreateDisplay(0, &owner));
            display->setGeometry(index % 2 * width, index / 2 * height, width, height);
            displays.push_back(display);
        }
        owner.show();
        for (CWndScrD3D* display : displays) {
            display->CreateScreen(&owner, 0, 0, nullptr, 6);
        }
        QApplication::processEvents();
    }
    QWidget owner;
    std::vector<CWndScrD3D*> displays;  // owned by `owner`
};

// Pictures per second and CPU milliseconds per picture, the GUI thread painting each one.
void measureBackend(const char* name, const std::vector<Picture>& pictures, double referenceMs) {
    ::setenv("TACHY_VIDEO", name, 1);
    Window window(1, 1280, 720);
    CWndScrD3D& display = *window.displays.front();
    const bool gl = display.Device()->backend() == tachy::video::VideoBackend::OpenGl;
    if (gl != (std::string(name) == "opengl")) {
        std::printf("display_%s: not available here\n", name);
        return;
    }
    const double cpuBefore = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    for (int index = 0; index < kPictures; ++index) {
        const Picture& picture = pictures[static_cast<std::size_t>(index) % pictures.size()];
        display.SetVidStream(0, picture.planes, kWidth, kHeight, 0, 6, picture.strides);
        QApplication::processEvents();
    }
    if (gl) {
        display.Device()->presenter()->grab();  // the last picture drawn before the clock stops
    }
    const double wallMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    const double cpuMs = (cpuSeconds() - cpuBefore) * 1000;
    std::printf("display_%s_1080p_into_720p: %.1f pictures/s, %.2f ms wall and %.2f ms CPU per picture\n", name,
                kPictures * 1000 / wallMs, wallMs / kPictures, cpuMs / kPictures);
    tachy::bench::report(std::string("display_") + name + "_cpu_per_picture", cpuMs / kPictures, referenceMs,
                         "QImage copy of the same bytes");
}

// Three displays fed 30 pictures per second each for three seconds: the share of one core.
void measureThreeDisplays(const char* name, const std::vector<Picture>& pictures, double referenceShare) {
    ::setenv("TACHY_VIDEO", name, 1);
    Window window(3, 640, 360);
    if ((window.displays.front()->Device()->backend() == tachy::video::VideoBackend::OpenGl) !=
        (std::string(name) == "opengl")) {
        return;
    }
    const double cpuBefore = cpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    constexpr int kTicks = 90;
    for (int tick = 0; tick < kTicks; ++tick) {
        for (CWndScrD3D* display : window.displays) {
            const Picture& picture = pictures[static_cast<std::size_t>(tick) % pictures.size()];
            display->SetVidStream(0, picture.planes, kWidth, kHeight, 0, 6, picture.strides);
        }
        QApplication::processEvents();
        std::this_thread::sleep_until(start + std::chrono::microseconds(33333 * (tick + 1)));
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double share = (cpuSeconds() - cpuBefore) / wall * 100;
    tachy::bench::report(std::string("display_") + name + "_three_at_30fps_core_share", share, referenceShare,
                         "QImage copies at the same rate", "% of one core");
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    std::vector<Picture> pictures;
    for (int index = 0; index < 8; ++index) {
        pictures.push_back(makePicture(index));
    }
    // The reference: a plain copy of the picture's bytes into a QImage.
    const double referenceMs = tachy::bench::medianMilliseconds(kPictures, [&] {
        const QImage image(pictures[0].bytes.data(), kWidth, kHeight * 3 / 2, kWidth, QImage::Format_Grayscale8);
        const QImage copy = image.copy();
        if (copy.isNull()) {
            std::abort();
        }
    });
    // The reference's share of a core at three pictures every 33 ms.
    const double referenceShare = referenceMs * 3 / 33.333 * 100;
    std::printf("qimage_copy_1080p_yv12: %.3f ms\n", referenceMs);
    for (const char* backend : {"software", "opengl"}) {
        if (argc > 1 && std::string(argv[1]) != backend) {
            continue;
        }
        measureBackend(backend, pictures, referenceMs);
        measureThreeDisplays(backend, pictures, referenceShare);
    }
    return 0;
}
