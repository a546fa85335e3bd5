#include "wizard/CWizardDlg.h"

#include "display/CWndDisplay.h"
#include "platform/debug/DebugOut.h"
#include "skinres/CExLangManager.h"
#include "util/CUtilLog.h"
#include "viewer/app/CTachyPlayerSetup.h"
#include "wizard/PictureFeeder.h"
#include "wizard/TestPicture.h"
#include "wizard/WindowSampler.h"

#include <QLabel>
#include <QShowEvent>
#include <system_error>

namespace {

constexpr int kDialogWidth = 420;
constexpr int kDialogHeight = 300;
// The test area covers the dialog's centre, where the samples are taken.
const QRect kTestAreaRect(10, 10, 400, 232);
const QRect kPercentRect(10, 252, 400, 36);
constexpr int kPictureFormat = 6; // planar YUV 4:2:0
constexpr unsigned long kWhite = 0x00FFFFFF;

QString colourName(QRgb colour) {
    return QColor(colour).name();
}

} // namespace

CWizardDlg::CWizardDlg(const CExLangManager& language, std::filesystem::path appPath,
                       std::string title, QWidget* parent)
    : QDialog(parent), m_language(language), m_appPath(std::move(appPath)),
      m_title(std::move(title)) {
    setWindowTitle(m_language.GetText(QStringLiteral("WizardTitle")));
    setFixedSize(kDialogWidth, kDialogHeight);
    BuildItems();
    m_timer.setInterval(kTickMilliseconds);
    m_timer.setObjectName(QString::number(kTickTimer));
    connect(&m_timer, &QTimer::timeout, this, [this] { OnTick(); });
}

CWizardDlg::~CWizardDlg() {
    StopFeeding();
}

void CWizardDlg::BuildItems() {
    m_testArea = new QWidget(this); // child
    m_testArea->setObjectName(QString::number(kTestAreaItem));
    m_testArea->setGeometry(kTestAreaRect);
    m_percent = new QLabel(this); // child
    m_percent->setObjectName(QString::number(kPercentItem));
    m_percent->setGeometry(kPercentRect);
    m_percent->setAlignment(Qt::AlignCenter);
}

void CWizardDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_initialised) {
        m_initialised = true;
        OnInitDialog();
    }
}

void CWizardDlg::OnInitDialog() {
    CreateTestDisplay();
    m_picture = std::make_unique<TestPicture>(m_testArea->width(), m_testArea->height());
    m_feeder = std::make_unique<PictureFeeder>([this] { FeedOnce(); });
    m_feeder->Start();
    m_timer.start();
}

// A box over the test area with a display of one screen of the box's size inside. Without a
// display the area stays empty and the samples are whatever the window shows.
void CWizardDlg::CreateTestDisplay() {
    m_box = new QWidget(this); // child
    m_box->setGeometry(m_testArea->geometry());
    m_box->show();
    m_box->raise();
    CWndDisplay* display = CWndDisplay::CreateDisplay(0, m_box);
    if (display == nullptr) {
        return;
    }
    display->setGeometry(m_box->rect());
    if (display->CreateScreen(m_box, static_cast<unsigned long>(m_box->width()),
                              static_cast<unsigned long>(m_box->height()), nullptr,
                              kPictureFormat) == 0) {
        delete display; // NOLINT(cppcoreguidelines-owning-memory): not kept
        return;
    }
    display->SetMaxLayout(0);
    display->InitLayout(0);
    display->SetInitFont(QStringLiteral("Arial"), 12, QString(), kWhite);
    m_display = display;
}

// Feeding thread: the picture and a redraw (the display draws what it is handed at once).
void CWizardDlg::FeedOnce() {
    if (m_display == nullptr || m_picture->IsEmpty()) {
        return;
    }
    m_display->SetVidStream(0, m_picture->Planes(), m_picture->Width(), m_picture->Height(), 0,
                            kPictureFormat, m_picture->Strides());
}

void CWizardDlg::OnTick() {
    ++m_counter;
    m_percent->setText(QString::asprintf("%d %%", m_counter));
    if (m_counter == 5 || m_counter == 50 || m_counter == 95) {
        const int counter = m_counter;
        QMetaObject::invokeMethod(
            this, [this, counter] { OnSample(counter); }, Qt::QueuedConnection);
    }
    if (m_counter >= kLastTick) {
        m_timer.stop();
        m_counter = 0;
        QMetaObject::invokeMethod(
            this, [this] { OnFinish(); }, Qt::QueuedConnection);
    }
}

void CWizardDlg::OnSample(int counter) {
    if (m_closed) {
        return;
    }
    const QImage image = m_renderer ? m_renderer(*this) : WindowSampler::Render(*this);
    m_samples.Put(counter, WindowSampler::CentrePixel(image));
    if (m_observer) {
        m_observer(counter, image);
    }
}

void CWizardDlg::OnFinish() {
    if (m_closed) {
        return;
    }
    CTachyPlayerSetup setup;
    setup.Load(m_appPath, m_title);
    setup.colorMode = m_samples.ColorMode();
    if (setup.Save()) {
        m_writtenMode = setup.colorMode;
    }
    if (!m_samples.NearTestColour()) {
        LogUnverified();
    }
    accept();
}

// No sample looks like the test colour in either conversion: the display showed something else
// (often nothing at all). The mode is stored by the equality rule all the same; the line gives a
// user whose viewer stays black something to report.
void CWizardDlg::LogUnverified() const {
    const QString line =
        QStringLiteral("tachyWizard - the picture path could not be verified: samples %1 %2 %3, "
                       "test colour %4 "
                       "(BT.709) or %5 (BT.601)")
            .arg(colourName(m_samples.Sample(0)), colourName(m_samples.Sample(1)),
                 colourName(m_samples.Sample(2)), colourName(ColourSamples::TestColourBt709()),
                 colourName(ColourSamples::TestColourBt601()));
    const std::filesystem::path logFolder = m_appPath / "log";
    std::error_code error;
    std::filesystem::create_directories(logFolder, error);
    CUtilLog::WriteLog(logFolder.string(), "%s", line.toUtf8().constData());
    tachy::DebugOut::printf("%s\n", line.toUtf8().constData());
}

bool CWizardDlg::FeederRunning() const {
    return m_feeder != nullptr && m_feeder->IsRunning();
}

void CWizardDlg::done(int result) {
    m_closed = true;
    m_timer.stop();
    StopFeeding();
    QDialog::done(result);
}

// The feeding thread ends before the picture it reads is freed.
void CWizardDlg::StopFeeding() {
    if (m_feeder) {
        m_feeder->Stop();
        m_feeder.reset();
    }
    m_picture.reset();
}
