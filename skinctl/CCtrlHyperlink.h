#pragma once
// A hyperlink: underlined accent text that opens its address in the desktop's browser when
// clicked or activated with Enter or Space.

#include <QUrl>
#include <QWidget>

class CCtrlHyperlink : public QWidget {
    Q_OBJECT

public:
    explicit CCtrlHyperlink(QWidget* parent = nullptr);

    void SetLink(const QString& text, const QUrl& url);
    QString GetText() const { return m_text; }
    QUrl GetUrl() const { return m_url; }
    // Whether activation opens the browser (tests turn it off and watch the signal).
    void SetOpensBrowser(bool opens) { m_opensBrowser = opens; }
    QSize sizeHint() const override;

signals:
    void activated(const QUrl& url);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void activate();

    QString m_text;
    QUrl m_url;
    bool m_opensBrowser = true;
    bool m_hovered = false;
};
