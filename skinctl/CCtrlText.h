#pragma once
// A text control: one line of language text over an optional skin background picture.

#include "skinctl/CCtrlGDIpString.h"

#include <QImage>
#include <QWidget>

class CCtrlText : public QWidget {
    Q_OBJECT

public:
    explicit CCtrlText(QWidget* parent = nullptr);

    void SetText(const QString& text);
    QString GetText() const { return m_text; }
    void SetTextFont(const QString& family, int pointSize, int style);
    void SetTextColour(const QColor& colour);
    void SetAlignment(int alignment);
    void SetBackground(const QImage& image);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CCtrlGDIpString m_drawer;
    QString m_text;
    QImage m_background;
    int m_alignment = CCtrlGDIpString::AlignLeft;
};
