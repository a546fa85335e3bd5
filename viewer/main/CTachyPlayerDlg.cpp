#include "viewer/main/CTachyPlayerDlg.h"

#include "display/CWndDisplay.h"
#include "engine/IIntrReplayEx.h"
#include "platform/ipc/NamedEvent.h"
#include "platform/process/Process.h"
#include "skinctl/CCtrlButtonEx.h"
#include "skinres/CExImageManager.h"
#include "skinres/CExWndPos.h"
#include "viewer/app/CTachyPlayerApp.h"
#include "viewer/app/WindowLayout.h"
#include "viewer/boxes/CFullScreen.h"
#include "viewer/boxes/CWndDisplayBox.h"
#include "viewer/boxes/CWndFunc.h"
#include "viewer/list/CTabList.h"
#include "viewer/map/CWndMap.h"
#include "viewer/obd/CWndOBD.h"
#include "viewer/panels/CWndGSensor.h"
#include "viewer/playbar/CPlayCtrl.h"
#include "viewer/playbar/CWndVideoCtrl.h"
#include "viewer/main/ViewerKeyboard.h"
#include "viewer/main/ViewerMessageBox.h"
#include "viewer/trip/CTripDialog.h"

#include <QAction>
#include <QCloseEvent>
#include <algorithm>
#include <QFileInfo>
#include <filesystem>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <tuple>

using namespace viewer;

namespace {

constexpr int kPictureFormat = 6;  // planar YUV 4:2:0 pictures from the engine
constexpr int kMaxSearchDepth = 8;  // folders below the opened one; a card never nests deeper

struct ToolbarButton {
    const char* position;
    const char* images;
    std::uintptr_t command;
    const char* tip;
    const char* key;  // the keyboard table's key for the command, shown in the tool tip
};

const ToolbarButton kToolbar[] = {
    {"Open Folder", "openfolder_", kOpenFolder, "btn open folder", "F2"},
    {"Open SDCard", "opensdcard_", kOpenCard, "btn open sdcard", "F3"},
    {"Setup", "setup_", kSetup, "btn setup", "F4"},
    {"Print", "print_", kPrint, "btn print", "F5"},
    {"Snapshot", "snapshot_", kSnapshot, "btn snapshot", "F6"},
    {"Info", "info_", kInfo, "btn info", ""},
    {"Language", "lang_", kLanguage, "btn lang", ""},
    {"Titlebar Min", "min_", kMinimise, "icon min", ""},
    {"Titlebar Max", "max_", kMaximise, "icon max", ""},
    {"Titlebar Restore", "restore_", kRestore, "icon restore", ""},
    {"Titlebar Exit", "exit_", kExit, "icon exit", ""},
};

} // namespace

CTachyPlayerDlg::CTachyPlayerDlg(CTachyPlayerApp& app)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), m_app(app),
      m_engineEvents(std::make_unique<viewer::EngineEventRouter>(static_cast<viewer::EngineEvents&>(*this))),
      m_playback(std::make_unique<viewer::PlaybackController>(static_cast<viewer::PlaybackView&>(*this))),
      m_cardWatch(std::make_unique<viewer::CardWatch>(*this, *m_playback, [this] { ReloadAfterCardChange(); })) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
}

CTachyPlayerDlg::~CTachyPlayerDlg() {
    Shutdown();
}

bool CTachyPlayerDlg::Initialize() {
    m_Setup.Load(m_app.GetPaths().appPath, m_app.Option().title);
    // How deep under the opened folder recordings are looked for: the viewer's own preference.
    m_app.SetSearchDepth(std::clamp(m_Setup.searchDepth, 0, kMaxSearchDepth));
    RunWizardWhenNeeded();
    if (!CreateChildren()) {
        ShowKeyedMessage(this, m_app.Language(), "common warning", "message 014");
        return false;
    }
    const QImage* background = m_app.Images().GetImageFile(QStringLiteral("HD-Bg"));
    if (background == nullptr || background->isNull()) {
        return false;
    }
    ComposeBackground();
    setWindowTitle(QString::fromStdString(m_app.Option().title));
    if (const QIcon* icon = m_app.Images().GetIconFile(QStringLiteral("app_icon"))) {
        setWindowIcon(*icon);
    }
    BindEngine();
    m_keyboard = new viewer::ViewerKeyboard(  // owned by this window
        {this, m_fullScreen}, [this](int key, Qt::KeyboardModifiers modifiers) { HandleKey(key, modifiers); }, this);
    m_setupEvent = std::make_unique<tachy::NamedEvent>("IPC_SHARED_EVT_SETUP");
    m_cardWatch->Start();
    // The skin's design size, centred on the screen.
    const _WIN_POS* frame = m_app.Positions().GetWinPos(QStringLiteral("Main Frame"));
    const QSize size = frame != nullptr && frame->width > 0 ? QSize(frame->width, frame->height) : QSize(1280, 800);
    resize(size);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    m_normalGeometry = geometry();
    return true;
}

// No colour mode yet: this is the first start, and the first-run wizard (when installed) asks
// the user for it before the viewer goes on.
void CTachyPlayerDlg::RunWizardWhenNeeded() {
    if (m_Setup.colorMode >= 0) {
        return;
    }
    const std::filesystem::path wizard = m_app.GetPaths().executableFolder / "tachyWizard";
    if (!std::filesystem::exists(wizard)) {
        return;
    }
    tachy::Process process;
    if (process.start(wizard, {})) {
        while (process.wait(std::chrono::hours(1)) == tachy::Process::WaitResult::TimedOut) {
        }
    }
    m_Setup.ReloadColorMode();
}

bool CTachyPlayerDlg::CreateChildren() {
    const ViewerContext& context = m_app.Context();
    for (int position = 0; position < 3; ++position) {
        auto* box = new CWndDisplayBox(this, context, position, kPictureFormat, m_app.Option().logoSize);  // child
        if (!box->IsCreated()) {
            return false;
        }
        m_boxes[static_cast<std::size_t>(position)] = box;
    }
    m_fullScreen = new CFullScreen(this, context, kPictureFormat);  // child window
    m_func = new CWndFunc(this, context, MapOffered(), m_app.Option().showObd != 0);  // child
    m_list = new CTabList(context, this, m_func);                    // a page of the panel
    m_func->SetPage(0, m_list);
    // The export tools, offered by a right click on the list's rows.
    for (const auto& [textKey, keyText, code] :
         {std::tuple{"export track", "Ctrl+Shift+E", kExportTrack}, std::tuple{"export video", "Ctrl+E", kExportVideo}}) {
        auto* action = new QAction(m_list);  // child
        action->setObjectName(QLatin1String(textKey));
        connect(action, &QAction::triggered, this, [this, code = code] { OnUserCommand(code, 0); });
        m_list->AddRowAction(action, textKey, keyText);
    }
    auto* trip = new QAction(m_list); // child: the trip figures, also on T
    trip->setObjectName(QStringLiteral("trip menu"));
    connect(trip, &QAction::triggered, this, [this] { OpenTripDialog(); });
    m_list->AddRowAction(trip, "trip menu", "T");
    CreateMap();
    m_obd = new CWndOBD(context, this, m_func);  // the vehicle-data page
    m_func->SetPage(2, m_obd);
    m_gsensor = new viewer::panels::CWndGSensor(context, m_app.Option().gSensorRange, this);  // child
    m_playCtrl = new viewer::playbar::CPlayCtrl(context, *this, this);                         // child
    m_videoCtrl = new viewer::playbar::CWndVideoCtrl(context, *this, this);                    // child
    m_videoCtrl->SetValues(m_Setup.brightness, m_Setup.contrast);
    CreateToolbar();
    return true;
}

// The map tab is offered when the selected language has a map page (or the test map stands in).
bool CTachyPlayerDlg::MapOffered() const {
    if (qEnvironmentVariable("TACHY_MAP") == QLatin1String("off")) {
        return true;
    }
    const LanguageEntry* language = m_app.Languages().CurrentEntry();
    return language != nullptr && QFileInfo::exists(viewer::map::MapPageFile(language->folder));
}

// The map page of the selected language's folder, checking its host. The map tells the window
// through the status callback when it finds the Internet; the first check runs on its worker.
void CTachyPlayerDlg::CreateMap() {
    // TACHY_MAP=off: a blank page, no web engine and no network (the ThreadSanitizer runs use
    // it, as the web engine's own threads cannot be checked).
    if (qEnvironmentVariable("TACHY_MAP") == QLatin1String("off")) {
        m_map = new viewer::map::IWndMap(m_func);  // a page of the panel
        m_func->SetPage(1, m_map);
        return;
    }
    const LanguageEntry* language = m_app.Languages().CurrentEntry();
    const QString folder = language != nullptr ? language->folder : QString();
    const QString host = language != nullptr ? m_app.Language().GetMapInfo(language->file) : QString();
    auto* map = new viewer::map::CWndMap(viewer::map::MapPageFile(folder), host, m_func);  // a page of the panel
    m_map = map;
    m_func->SetPage(1, map);
    map->InitialUpdate();
    map->SetStatusCallback(&CTachyPlayerDlg::MapStatus, this);
    map->SetOnline(0);
}

void CTachyPlayerDlg::MapStatus(int /*status*/, int online, int /*reserved*/, void* user) {
    static_cast<CTachyPlayerDlg*>(user)->m_map->SetOnline(online);
}

CCtrlButtonEx* CTachyPlayerDlg::MakeButton(const char* position, const char* images, std::uintptr_t commandId,
                                           const char* tip) {
    auto* button = new CCtrlButtonEx(this);  // child
    button->setObjectName(QString::fromLatin1(position));
    button->SetImages(tachy::skinctl::SkinStateImages::fromSkin(m_app.Images(), QString::fromLatin1(images)));
    button->setToolTip(LanguageText(m_app.Language(), tip));
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QAbstractButton::clicked, this, [this, commandId] { command(kUserMessage, commandId, 0); });
    m_buttons.push_back(button);
    return button;
}

void CTachyPlayerDlg::CreateToolbar() {
    const int model = m_app.Option().productId;
    for (const ToolbarButton& entry : kToolbar) {
        CCtrlButtonEx* button = MakeButton(entry.position, entry.images, entry.command, entry.tip);
        if (entry.command == kMaximise) {
            m_maxButton = button;
        } else if (entry.command == kRestore) {
            m_restoreButton = button;
            button->hide();
        }
    }
    MakeButton("Titlebar Icon", "title_icon_", kAbout, "btn info")->setToolTip(QString());
    ApplyToolbarTips();
}

// The toolbar's tool tips with the keys that do the same; the smaller tool-tip set of model 0
// has no info and language tips, and the title icon has none.
void CTachyPlayerDlg::ApplyToolbarTips() {
    const int model = m_app.Option().productId;
    for (std::size_t i = 0; i < std::size(kToolbar) && i < m_buttons.size(); ++i) {
        const ToolbarButton& entry = kToolbar[i];
        const bool hidden = model == 0 && (entry.command == kInfo || entry.command == kLanguage);
        m_buttons[i]->setToolTip(
            hidden ? QString() : viewer::ViewerKeyboard::WithKey(LanguageText(m_app.Language(), entry.tip), entry.key));
    }
}

// The background at the skin's size: "HD-Bg", the title bar over it, and the logo at (15, 5)
// scaled to 48 pixels high.
void CTachyPlayerDlg::ComposeBackground() {
    const CExImageManager& images = m_app.Images();
    const QImage* background = images.GetImageFile(QStringLiteral("HD-Bg"));
    m_background = background->convertToFormat(QImage::Format_RGB32);
    QPainter painter(&m_background);
    if (const QImage* titlebar = images.GetImageFile(QStringLiteral("HD-Titlebar")); titlebar && !titlebar->isNull()) {
        painter.drawImage(0, 0, *titlebar);
    }
    if (const QImage* logo = images.GetImageFile(QStringLiteral("title_logo")); logo && !logo->isNull()) {
        // 48 of the window's pixels high, whatever the picture's own device-pixel ratio.
        const qreal ratio = logo->devicePixelRatio();
        QImage scaled = logo->scaledToHeight(qRound(48 * ratio), Qt::SmoothTransformation);
        scaled.setDevicePixelRatio(ratio);
        painter.drawImage(QPoint(15, 5), scaled);
    }
}

QRect CTachyPlayerDlg::ElementRect(const char* name, double scale, int designWidth) const {
    const _WIN_POS* position = m_app.Positions().GetWinPos(QString::fromLatin1(name));
    if (position == nullptr) {
        return {};
    }
    // The design is centred across when the window is relatively wider than the skin.
    const int offset = std::max(0, static_cast<int>((width() - designWidth * scale) / 2));
    return viewer::ScaledLayoutRect(*position, static_cast<int>(designWidth * scale),
                                    static_cast<int>(height()), scale)
        .translated(offset, 0);
}

void CTachyPlayerDlg::LayOut() {
    if (m_isFullScreen) {
        LayOutFullScreenBar();
        return;
    }
    const _WIN_POS* frame = m_app.Positions().GetWinPos(QStringLiteral("Main Frame"));
    const int designWidth = frame != nullptr && frame->width > 0 ? frame->width : 1280;
    const int designHeight = frame != nullptr && frame->height > 0 ? frame->height : 800;
    const double scale = viewer::LayoutScale(width(), height(), designWidth, designHeight);
    for (CCtrlButtonEx* button : m_buttons) {
        button->setGeometry(ElementRect(button->objectName().toLatin1().constData(), scale, designWidth));
    }
    LayOutVideo(scale, designWidth);
    // The graph shares its place with the third camera's frame.
    m_gsensor->setGeometry(ElementRect("GSensor", scale, designWidth));
    m_gsensor->setVisible(!(m_playback->LoadState() == kPlaying && m_playback->ChannelCount() == 3));
    m_playCtrl->setGeometry(ElementRect("PlayCtrl", scale, designWidth));
    m_videoCtrl->setGeometry(ElementRect("VideoCtrl", scale, designWidth));
    m_func->hide();
    m_func->setGeometry(ElementRect("List Wnd", scale, designWidth));
    m_func->show();
}

// In full screen the window covers the screen under the full-screen view, and the play bar
// shows through the view's cut-out at the same place.
void CTachyPlayerDlg::LayOutFullScreenBar() {
    const _WIN_POS* bar = m_app.Positions().GetWinPos(QStringLiteral("PlayCtrl Full"));
    m_playCtrl->setGeometry(bar != nullptr ? viewer::LayoutRect(*bar, width(), height()) : QRect());
    m_playCtrl->raise();
}

// The boxes in their frames: with three channels playing, frames 1 to 3 get the boxes from the
// main channel on; otherwise the two-frame layout, the third box in its own frame.
void CTachyPlayerDlg::LayOutVideo(double scale, int designWidth) {
    const int count = m_playback->ChannelCount();
    const bool three = m_playback->LoadState() == kPlaying && count == 3;
    if (!three && (m_playback->MainChannel() == 2 || count == 1)) {
        m_playback->SetMainChannel(0);
    }
    const int main = m_playback->MainChannel();
    for (int frame = 0; frame < 3; ++frame) {
        const QByteArray name = three ? QByteArray("VideoFrame0") + QByteArray::number(frame + 1)
                                      : QByteArray("VideoFrame0") + QByteArray::number(frame + 1) + "_1";
        const int box = three ? (main + frame) % 3 : frame < 2 ? (main + frame) % 2 : 2;
        const QRect rect = ElementRect(name.constData(), scale, designWidth);
        CWndDisplayBox* target = m_boxes[static_cast<std::size_t>(box)];
        target->setGeometry(rect);
        target->setVisible(rect.width() > 0 && rect.height() > 0 && (box < count || box == 0));
    }
}

void CTachyPlayerDlg::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (m_isFullScreen) {
        const QImage* full = m_app.Images().GetImageFile(QStringLiteral("screen_full"));
        if (full != nullptr && !full->isNull()) {
            painter.drawImage(rect(), *full);
        }
        return;
    }
    painter.drawImage(rect(), m_background);
}

void CTachyPlayerDlg::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void CTachyPlayerDlg::mousePressEvent(QMouseEvent* event) {
    // The window has no system frame: a press on the background drags it.
    if (event->button() == Qt::LeftButton && !m_maximised && !m_isFullScreen) {
        m_dragging = true;
        m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
    }
}

void CTachyPlayerDlg::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging && (event->buttons() & Qt::LeftButton) != 0) {
        move(event->globalPosition().toPoint() - m_dragOffset);
        m_normalGeometry = geometry();
    } else {
        m_dragging = false;
    }
}

void CTachyPlayerDlg::ToggleMaximised() {
    if (!m_maximised) {
        m_normalGeometry = geometry();
        if (const QScreen* screen = this->screen()) {
            setGeometry(screen->availableGeometry());
        }
    } else {
        setGeometry(m_normalGeometry);
    }
    m_maximised = !m_maximised;
    m_maxButton->setVisible(!m_maximised);
    m_restoreButton->setVisible(m_maximised);
}

void CTachyPlayerDlg::ToggleFullScreen() {
    if (m_playback->LoadState() == kNothingLoaded && !m_isFullScreen) {
        return;
    }
    m_isFullScreen = !m_isFullScreen;
    CFullScreen& full = *m_fullScreen;
    full.SetMainChannel(m_playback->MainChannel());
    full.SetPlaying(m_playback->LoadState() == kPlaying);
    m_playCtrl->SetFullScreenShown(m_isFullScreen);
    if (m_isFullScreen) {
        m_beforeFullScreen = geometry();
        showFullScreen();
        full.showFullScreen();
        // The keys go to the window on top; the keyboard table serves both alike.
        full.activateWindow();
        full.setFocus(Qt::ActiveWindowFocusReason);
        LayOutFullScreenBar();
    } else {
        full.hide();
        showNormal();
        setGeometry(m_beforeFullScreen);
        activateWindow();
        LayOut();
    }
    // A paused engine shows its pictures once, not over and over: the display that now shows
    // the main channel gets them again, once the new layout has been shown.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (IIntrReplayEx* engine = m_playback->Engine()) {
                engine->ShowCurrentImage();
            }
        },
        Qt::QueuedConnection);
    update();
}

void CTachyPlayerDlg::closeEvent(QCloseEvent* event) {
    Shutdown();
    event->accept();
}

// In the order the parts depend on each other: sound, preferences, card watch, engine.
void CTachyPlayerDlg::Shutdown() {
    if (m_shutDown) {
        return;
    }
    m_shutDown = true;
    m_sound.Close();
    m_Setup.Save();
    m_cardWatch->Stop();
    // The map's worker may still report; it must not reach a window on its way out.
    if (m_map != nullptr) {
        m_map->SetStatusCallback(nullptr, nullptr);
    }
    m_playback->ReleaseEngine();
    m_setupEvent.reset();
}
