#pragma once
// Renders a window into an image of its client size as the screen shows it, and takes the pixel
// at its centre. QWidget::grab paints the ordinary widgets; an OpenGL child draws into its own
// framebuffer, which grab does not see on every platform, so each visible one is read back with
// grabFramebuffer and laid over its place in the image.

#include <QImage>
#include <QRgb>

class QWidget;

class WindowSampler {
public:
    static QImage Render(QWidget& window);
    // The pixel at the centre of `image` (0 for an empty image).
    static QRgb CentrePixel(const QImage& image);
};
