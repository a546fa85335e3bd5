#pragma once
// The picture-adjustment panel: brightness and contrast sliders (0 to 100, 50 neutral), each
// with a button that puts it back to 50. Like the play bar it only sends commands to its
// owner, which applies them to the engine and the displays. GUI thread only.

#include <QImage>
#include <QWidget>
#include <utility>
#include <vector>

class CCtrlButtonEx;
class CCtrlSlider;
struct ViewerContext;
struct _WIN_POS;

namespace tachy {
class CommandTarget;
}

namespace viewer::playbar {

class CWndVideoCtrl : public QWidget {
    Q_OBJECT

public:
    static constexpr int kResetBrightness = 8560;
    static constexpr int kResetContrast = 8561;
    static constexpr int kNeutral = 50;

    // `context` and `owner` are borrowed and must outlive the panel.
    CWndVideoCtrl(const ViewerContext& context, tachy::CommandTarget& owner,
                  QWidget* parent = nullptr);

    // The values the owner starts with; shown without sending anything.
    void SetValues(int brightness, int contrast);

    CCtrlSlider* BrightnessSlider() const { return m_brightness; }
    CCtrlSlider* ContrastSlider() const { return m_contrast; }
    CCtrlButtonEx* ResetButton(bool brightness) const {
        return brightness ? m_resetBrightness : m_resetContrast;
    }
    // The language's texts were loaded again: the tool tips follow.
    void OnLanguageChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    CCtrlSlider* MakeSlider(int id, const char* track, const char* tip);
    CCtrlButtonEx* MakeResetButton(const char* images, const char* tip, CCtrlSlider* slider);
    const _WIN_POS* Position(const char* name) const;
    QString Text(const char* key) const;
    void LayOut();

    const ViewerContext& m_context;
    tachy::CommandTarget& m_owner;
    QImage m_brightnessBackground;
    QImage m_contrastBackground;
    CCtrlSlider* m_brightness = nullptr;        // child
    CCtrlSlider* m_contrast = nullptr;          // child
    CCtrlButtonEx* m_resetBrightness = nullptr; // child
    CCtrlButtonEx* m_resetContrast = nullptr;   // child
    std::vector<std::pair<QWidget*, const char*>> m_tips;  // each control and its text key
};

} // namespace viewer::playbar
