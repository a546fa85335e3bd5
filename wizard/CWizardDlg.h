#pragma once
// The wizard dialog: a solid-colour test picture is fed through the video display over the test
// area (item 1000) while a percentage counts up in item 1001 every 10 ms; at 5, 50 and 95 the
// window is rendered to an image and its centre pixel sampled; at 100 the viewer's colour mode
// (1 when the three samples are equal, else 0) is written to its settings and the dialog closes.
// Closed early, it writes nothing.

#include "wizard/ColourSamples.h"

#include <QDialog>
#include <QImage>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

class CExLangManager;
class CWndDisplay;
class PictureFeeder;
class QLabel;
class TestPicture;

class CWizardDlg : public QDialog {
public:
    static constexpr int kTestAreaItem = 1000;
    static constexpr int kPercentItem = 1001;
    static constexpr int kTickTimer = 4097;
    static constexpr int kTickMilliseconds = 10;
    static constexpr int kLastTick = 100;

    // Renders the window for a sample; the default reads what reached the window.
    using Renderer = std::function<QImage(QWidget& window)>;
    // Told of every sample taken, with the image it was taken from.
    using SampleObserver = std::function<void(int counter, const QImage& image)>;

    // `appPath` is the viewer's settings folder, `title` the product title.
    CWizardDlg(const CExLangManager& language, std::filesystem::path appPath, std::string title,
               QWidget* parent = nullptr);
    ~CWizardDlg() override;

    void SetRenderer(Renderer renderer) { m_renderer = std::move(renderer); }
    void SetSampleObserver(SampleObserver observer) { m_observer = std::move(observer); }

    int Counter() const { return m_counter; }
    const ColourSamples& Samples() const { return m_samples; }
    CWndDisplay* Display() const { return m_display; }
    bool FeederRunning() const;
    // The colour mode written at the end (-1 while nothing was written).
    int WrittenColorMode() const { return m_writtenMode; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildItems();
    void OnInitDialog();
    void CreateTestDisplay();
    void FeedOnce();
    void OnTick();
    void OnSample(int counter);
    void OnFinish();
    void LogUnverified() const;
    void StopFeeding();

    const CExLangManager& m_language;
    std::filesystem::path m_appPath;
    std::string m_title;
    QWidget* m_testArea = nullptr;          // child
    QLabel* m_percent = nullptr;            // child
    QWidget* m_box = nullptr;               // child, over the test area
    CWndDisplay* m_display = nullptr;       // child of m_box
    std::unique_ptr<TestPicture> m_picture; // written before the feeder starts, freed after it ends
    std::unique_ptr<PictureFeeder> m_feeder;
    QTimer m_timer;
    int m_counter = 0;
    ColourSamples m_samples;
    Renderer m_renderer;
    SampleObserver m_observer;
    bool m_initialised = false;
    bool m_closed = false;
    int m_writtenMode = -1;
};
