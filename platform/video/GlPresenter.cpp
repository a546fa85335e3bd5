#include "platform/video/GlPresenter.h"

#include "platform/debug/DebugOut.h"
#include "platform/video/ColourMath.h"
#include "platform/video/VideoSurface.h"

#include <QOpenGLContext>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>

namespace tachy::video {
namespace {

const char* const kVertexShader = R"(
uniform vec4 destRect;
uniform vec4 textureRect;
out vec2 textureCoordinate;
void main() {
    vec2 corner = vec2(float(gl_VertexID & 1), float(gl_VertexID >> 1));
    gl_Position = vec4(mix(destRect.xy, destRect.zw, corner), 0.0, 1.0);
    textureCoordinate = mix(textureRect.xy, textureRect.zw, corner);
}
)";

// BT.709 studio range to RGB, then ProcAmp on RGB: the sums of ColourMath.cpp.
const char* const kFragmentShader = R"(
uniform sampler2D planeY;
uniform sampler2D planeU;
uniform sampler2D planeV;
uniform int isYuv;
uniform vec3 procAmp;
in vec2 textureCoordinate;
out vec4 fragmentColour;
void main() {
    vec3 rgb;
    if (isYuv == 1) {
        float y = (texture(planeY, textureCoordinate).r * 255.0 - 16.0) / 219.0;
        float cb = (texture(planeU, textureCoordinate).r * 255.0 - 128.0) / 224.0;
        float cr = (texture(planeV, textureCoordinate).r * 255.0 - 128.0) / 224.0;
        rgb = vec3(y + 1.5748 * cr, y - 0.187324 * cb - 0.468124 * cr, y + 1.8556 * cb);
    } else {
        rgb = texture(planeY, textureCoordinate).bgr;
    }
    float luma = dot(rgb, vec3(0.2126, 0.7152, 0.0722));
    float newLuma = luma * procAmp.y + procAmp.x;
    rgb = vec3(newLuma) + (rgb - vec3(luma)) * procAmp.y * procAmp.z;
    fragmentColour = vec4(clamp(rgb, 0.0, 1.0), 1.0);
}
)";

// The fragment shader as written, or broken on purpose when TACHY_VIDEO_FAULT=shader.
QByteArray fragmentShaderSource() {
    const char* fault = std::getenv("TACHY_VIDEO_FAULT");  // NOLINT(concurrency-mt-unsafe)
    if (fault != nullptr && std::strcmp(fault, "shader") == 0) {
        return QByteArray(kFragmentShader) + "\nthis line does not compile\n";
    }
    return kFragmentShader;
}

} // namespace

GlPresenter::GlPresenter(QWidget* parent, std::mutex& rendererLock, std::atomic<bool>& lost)
    : QOpenGLWidget(parent), m_rendererLock(rendererLock), m_lost(lost) {}

GlPresenter::~GlPresenter() {
    makeCurrent();
    releaseTextures();
    m_program.reset();
    m_vertexArray.destroy();
    doneCurrent();
}

void GlPresenter::setFrame(VideoFrame frame) {
    {
        const std::lock_guard<std::mutex> guard(m_frameLock);
        m_frame = std::move(frame);
    }
    QMetaObject::invokeMethod(this, qOverload<>(&QWidget::update), Qt::QueuedConnection);
}

void GlPresenter::dropFrame() {
    const std::lock_guard<std::mutex> guard(m_frameLock);
    m_frame = {};
    m_surfacesFreed = true;
}

void GlPresenter::initializeGL() {
    initializeOpenGLFunctions();
    // The widget's context goes when the widget moves to another window: its textures go first.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] {
        makeCurrent();
        releaseTextures();
        doneCurrent();
    });
    if (!buildProgram() || !m_vertexArray.create()) {
        DebugOut::write("Display - OpenGL program could not be built\n");
        m_lost = true;
    }
}

bool GlPresenter::buildProgram() {
    const QByteArray version = context()->isOpenGLES() ? "#version 300 es\nprecision highp float;\n"
                                                       : "#version 330 core\n";
    m_program = std::make_unique<QOpenGLShaderProgram>();
    return m_program->addShaderFromSourceCode(QOpenGLShader::Vertex, version + kVertexShader) &&
           m_program->addShaderFromSourceCode(QOpenGLShader::Fragment, version + fragmentShaderSource()) &&
           m_program->link();
}

void GlPresenter::paintGL() {
    const std::lock_guard<std::mutex> renderer(m_rendererLock);
    VideoFrame frame;
    {
        const std::lock_guard<std::mutex> guard(m_frameLock);
        frame = m_frame;
    }
    const int viewWidth = static_cast<int>(width() * devicePixelRatioF());
    const int viewHeight = static_cast<int>(height() * devicePixelRatioF());
    glViewport(0, 0, viewWidth, viewHeight);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    if (m_lost || !m_program || frame.client.empty()) {
        return;
    }
    m_program->bind();
    m_vertexArray.bind();
    bool drew = false;
    for (const BlitCommand& blit : frame.blits) {
        drawBlit(blit, frame, viewWidth, viewHeight);
        drew = drew || (blit.source != nullptr && !blit.destRect.empty());
    }
    m_vertexArray.release();
    m_program->release();
    dropUnusedTextures(frame);
    if (glGetError() == GL_OUT_OF_MEMORY) {
        m_lost = true;
    } else if (drew) {
        m_drewPicture = true;
    }
}

// After frames were dropped, surfaces may have been freed: textures of surfaces the new frame
// does not use go (surface ids are never reused, so a kept texture is never mistaken).
void GlPresenter::dropUnusedTextures(const VideoFrame& frame) {
    if (!m_surfacesFreed.exchange(false)) {
        return;
    }
    std::set<std::uint64_t> used;
    for (const BlitCommand& blit : frame.blits) {
        if (blit.source != nullptr) {
            used.insert(blit.source->id());
        }
    }
    std::erase_if(m_textures, [&](const auto& entry) { return used.count(entry.first) == 0; });
}

void GlPresenter::drawBlit(const BlitCommand& blit, const VideoFrame& frame, int viewWidth, int viewHeight) {
    const double scaleX = static_cast<double>(viewWidth) / frame.client.width();
    const double scaleY = static_cast<double>(viewHeight) / frame.client.height();
    const VideoRect target = blit.targetRect;
    const Rgb background = backgroundRgb(blit.background);
    glEnable(GL_SCISSOR_TEST);
    glScissor(static_cast<int>(target.left * scaleX), static_cast<int>(viewHeight - target.bottom * scaleY),
              static_cast<int>(target.width() * scaleX), static_cast<int>(target.height() * scaleY));
    glClearColor(background.red / 255.0F, background.green / 255.0F, background.blue / 255.0F, 1.0F);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    if (blit.source == nullptr || blit.destRect.empty()) {
        return;
    }
    const VideoSurface& surface = *blit.source;
    GlSurfaceTextures* textures = texturesFor(surface);
    if (textures == nullptr) {
        m_lost = true;
        return;
    }
    textures->bind();
    const auto ndcX = [&](int x) { return static_cast<float>(2.0 * x / frame.client.width() - 1.0); };
    const auto ndcY = [&](int y) { return static_cast<float>(1.0 - 2.0 * y / frame.client.height()); };
    const VideoRect& dest = blit.destRect;
    const VideoRect& source = blit.sourceRect;
    m_program->setUniformValue("destRect", ndcX(dest.left), ndcY(dest.top), ndcX(dest.right), ndcY(dest.bottom));
    m_program->setUniformValue("textureRect", static_cast<float>(source.left) / textures->width(),
                               static_cast<float>(source.top) / textures->height(),
                               static_cast<float>(source.right) / textures->width(),
                               static_cast<float>(source.bottom) / textures->height());
    m_program->setUniformValue("planeY", 0);
    m_program->setUniformValue("planeU", 1);
    m_program->setUniformValue("planeV", 2);
    m_program->setUniformValue("isYuv", surface.format() == SurfaceFormat::Yv12 ? 1 : 0);
    const ProcAmpFactors factors = procAmpFactors(blit.procAmp);
    m_program->setUniformValue("procAmp", factors.brightness / 255.0F, factors.contrast, factors.saturation);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

// The surface's textures, up to date; null when GL cannot make them.
GlSurfaceTextures* GlPresenter::texturesFor(const VideoSurface& surface) {
    std::unique_ptr<GlSurfaceTextures>& textures = m_textures[surface.id()];
    if (!textures) {
        textures = std::make_unique<GlSurfaceTextures>();
    }
    return textures->update(surface) ? textures.get() : nullptr;
}

void GlPresenter::releaseTextures() {
    m_textures.clear();
}

} // namespace tachy::video
