#pragma once
// A digit display: a short text of digits, ':', '.', '-' and blanks drawn from a strip of
// equally wide glyph cells in the skin ("0123456789:.- " in that order). Other characters
// show as blanks.

#include <QImage>
#include <QWidget>

class CCtrlDigit : public QWidget {
    Q_OBJECT

public:
    static constexpr int kCellCount = 14;

    explicit CCtrlDigit(QWidget* parent = nullptr);

    void SetStrip(const QImage& strip);
    void SetText(const QString& text);
    QString GetText() const { return m_text; }
    // The strip cell of a character.
    static int CellOf(QChar character);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_strip;
    QString m_text;
};
