#include "platform/video/SoftwarePresenter.h"

#include <QPainter>
#include <utility>

namespace tachy::video {

SoftwarePresenter::SoftwarePresenter(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

QImage SoftwarePresenter::setImage(QImage image) {
    QImage previous;
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        previous = std::exchange(m_image, std::move(image));
    }
    QMetaObject::invokeMethod(this, qOverload<>(&QWidget::update), Qt::QueuedConnection);
    return previous;
}

QImage SoftwarePresenter::image() const {
    const std::lock_guard<std::mutex> guard(m_lock);
    return m_image;
}

void SoftwarePresenter::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const std::lock_guard<std::mutex> guard(m_lock);
    if (m_image.isNull()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    painter.drawImage(0, 0, m_image);
    // The window grew since the picture was made: the rest stays black until the next present.
    if (m_image.width() < width()) {
        painter.fillRect(m_image.width(), 0, width() - m_image.width(), height(), Qt::black);
    }
    if (m_image.height() < height()) {
        painter.fillRect(0, m_image.height(), m_image.width(), height() - m_image.height(), Qt::black);
    }
}

} // namespace tachy::video
