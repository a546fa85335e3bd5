#pragma once
// The software backend's window: paints the last composed picture. Pictures arrive from any
// thread; the repaint is queued to the GUI thread, so a presenting thread never waits for it.

#include <QImage>
#include <QWidget>
#include <mutex>

namespace tachy::video {

class SoftwarePresenter : public QWidget {
public:
    explicit SoftwarePresenter(QWidget* parent);

    // Shows `image` and hands back the one shown before (for the compositor to reuse).
    QImage setImage(QImage image);
    QImage image() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    mutable std::mutex m_lock;
    QImage m_image;  // guarded by m_lock
};

} // namespace tachy::video
