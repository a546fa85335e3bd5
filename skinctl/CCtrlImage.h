#pragma once
// A static skin picture (backgrounds, vehicle-data symbols), stretched over the control.

#include <QImage>
#include <QWidget>

class CCtrlImage : public QWidget {
    Q_OBJECT

public:
    explicit CCtrlImage(QWidget* parent = nullptr);

    void SetImage(const QImage& image);
    const QImage& GetImage() const { return m_image; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
};
