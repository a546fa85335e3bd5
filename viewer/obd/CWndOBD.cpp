#include "viewer/obd/CWndOBD.h"

#include "platform/bus/CommandTarget.h"
#include "skinctl/CCtrlButtonEx.h"
#include "skinctl/CCtrlImage.h"
#include "skinctl/CCtrlText.h"
#include "skinres/CExImageManager.h"
#include "skinres/CExLangManager.h"
#include "skinres/CExWndPos.h"
#include "viewer/app/ViewerContext.h"
#include "viewer/app/WindowLayout.h"

#include <QMetaObject>
#include <QPainter>

#include <algorithm>

using namespace viewer::obd;

namespace {

// Demonstration values of the display test.
constexpr int kTestSpeed = 999;
constexpr std::uint32_t kTestDistance = 234567;
constexpr int kTestEngineSpeed = 2345;
constexpr int kTestAccelerator = 10;

QColor TextColour(const _WIN_POS* position) {
    return position != nullptr ? QColor::fromRgba(position->color[0]) : QColor(0xE6, 0xE8, 0xEB);
}

} // namespace

CWndOBD::CWndOBD(const ViewerContext& context, tachy::CommandTarget* owner, QWidget* parent)
    : QWidget(parent), m_context(context), m_owner(owner),
      m_variant(VariantForModel(context.modelCode)) {
    CreateControls();
    WriteStaticTexts();
    m_tracker.FlagAll();
    Redraw();
}

CWndOBD::~CWndOBD() = default;

CCtrlImage* CWndOBD::AddImage(const char* element, const char* image) {
    auto* control = new CCtrlImage(this); // owned by the page
    control->setObjectName(QLatin1String(element));
    SetImage(control, image);
    return control;
}

CCtrlText* CWndOBD::AddText(const char* element) {
    auto* control = new CCtrlText(this); // owned by the page
    control->setObjectName(QLatin1String(element));
    const _WIN_POS* position = m_context.positions->GetWinPos(QLatin1String(element));
    control->SetTextColour(TextColour(position));
    // Text heights follow the element: about half of it, in points at 96 dots per inch.
    const int height = position != nullptr ? position->height : 20;
    control->SetTextFont(m_context.language->GetFontName(), std::max(7, height * 3 / 8),
                         CCtrlGDIpString::Regular);
    return control;
}

void CWndOBD::CreateControls() {
    m_leftSignal = AddImage("OBD t_left", "obd_t_left_off");
    m_rightSignal = AddImage("OBD t_right", "obd_t_right_off");
    m_gear = AddImage("OBD GearBox", "obd_gear_none");
    m_accelerator = AddImage("OBD Accel", "obd_accel");
    m_brake = AddImage("OBD Brake", "obd_break_off");
    m_economy = AddImage("OBD ECO", "obd_eco_green");
    m_voltage = AddImage("OBD Voltage", "obd_voltage");
    m_speed = AddText("OBD Speed");
    m_speed->SetAlignment(CCtrlGDIpString::AlignRight);
    m_speedUnit = AddText("OBD Speed Unit");
    m_distance = AddText("OBD Distance");
    m_engineSpeed = AddText("OBD RPM");
    m_acceleratorTitle = AddText("OBD Accel Title");
    m_acceleratorUnit = AddText("OBD Accel Unit");
    m_brakeTitle = AddText("OBD Brake Title");
    m_voltageUnit = AddText("OBD Voltage Unit");

    m_driveLog = new CCtrlButtonEx(this); // owned by the page
    m_driveLog->setObjectName(QStringLiteral("OBD DriveLog"));
    m_driveLog->SetImages(tachy::skinctl::SkinStateImages::fromSkin(
        *m_context.images, QStringLiteral("obd_btn_info_")));
    connect(m_driveLog, &QAbstractButton::clicked, this, [this] {
        if (m_owner != nullptr) {
            m_owner->command(kWmUser, kDriveLogId, 0);
        }
    });

    m_displayTestButton = new CCtrlButtonEx(this); // owned by the page; no picture
    m_displayTestButton->setObjectName(QStringLiteral("OBD Display Test"));
    m_displayTestButton->setGeometry(0, 0, kDisplayTestWidth, kDisplayTestHeight);
    connect(m_displayTestButton, &QAbstractButton::clicked, this, [this] { ToggleDisplayTest(); });
}

void CWndOBD::SetImage(CCtrlImage* control, const char* image) {
    const QImage* picture = m_context.images->GetImageFile(QLatin1String(image));
    control->SetImage(picture != nullptr ? *picture : QImage());
    control->setAccessibleName(QLatin1String(image));
}

QString CWndOBD::Text(const char* key) const {
    return m_context.language->GetText(QLatin1String(key));
}

void CWndOBD::WriteStaticTexts() {
    m_speedUnit->SetText(Text("car speed"));
    m_driveLog->setToolTip(Text("obd info title"));
    // Variant A writes title and unit into the accelerator text; variant B shows the title
    // above the bare number.
    if (m_variant == Variant::B) {
        m_acceleratorTitle->SetText(Text("obd accel"));
    } else {
        m_acceleratorUnit->SetText(QString());
    }
}

void CWndOBD::SetData(std::span<const viewer::driving::DrivingDataRecord> records, int frameCount) {
    m_records = records;
    m_frameCount = frameCount;
}

void CWndOBD::ClearData() {
    m_records = {};
    m_frameCount = 0;
}

void CWndOBD::SetPosition(int framePosition) {
    if (m_records.empty() || m_frameCount <= 0 || framePosition < 0) {
        return;
    }
    const auto count = static_cast<std::int64_t>(m_records.size());
    const std::int64_t index =
        std::min(count - 1, std::int64_t{framePosition} * count / m_frameCount);
    SetRecord(static_cast<int>(index));
}

void CWndOBD::SetRecord(int recordIndex) {
    if (recordIndex < 0 || static_cast<std::size_t>(recordIndex) >= m_records.size()) {
        return;
    }
    const std::optional<ObdValues> values =
        ReadObdValues(m_records[static_cast<std::size_t>(recordIndex)]);
    if (values && m_tracker.Update(*values)) {
        ScheduleRedraw();
    }
}

void CWndOBD::ChangeLanguage() {
    WriteStaticTexts();
    m_tracker.FlagAll();
    ScheduleRedraw();
}

void CWndOBD::ScheduleRedraw() {
    if (m_redrawPending) {
        return;
    }
    m_redrawPending = true;
    // Queued: dropped by Qt when the page is destroyed first.
    QMetaObject::invokeMethod(
        this, [this] { Redraw(); }, Qt::QueuedConnection);
}

void CWndOBD::Redraw() {
    m_redrawPending = false;
    const ObdChanges changes = m_tracker.TakeChanges();
    RedrawSymbols(changes);
    RedrawTexts(changes);
}

void CWndOBD::RedrawSymbols(const ObdChanges& changes) {
    const ObdValues& values = changes.values;
    if ((changes.fields & kTurnSignals) != 0) {
        SetImage(m_leftSignal, LeftSignalImage(values.leftSignal));
        SetImage(m_rightSignal, RightSignalImage(values.rightSignal));
    }
    if ((changes.fields & kGear) != 0) {
        SetImage(m_gear, GearImage(values.gear));
    }
    if ((changes.fields & kEconomy) != 0) {
        SetImage(m_economy, EconomyImage(values.economy));
    }
    if ((changes.fields & kBrake) != 0) {
        if (m_variant == Variant::A) {
            SetImage(m_brake, BrakeImage(values.brake));
        }
        m_brakeTitle->SetText(Text(BrakeTextKey(values.brake)));
    }
}

void CWndOBD::RedrawTexts(const ObdChanges& changes) {
    const ObdValues& values = changes.values;
    if ((changes.fields & kAccelerator) != 0) {
        const QString text = FormatAccelerator(m_variant, values.accelerator, Text("obd accel"),
                                               Text("obd accel unit"));
        (m_variant == Variant::A ? m_acceleratorTitle : m_acceleratorUnit)->SetText(text);
    }
    if ((changes.fields & kSpeed) != 0) {
        m_speed->SetText(FormatSpeed(values.speed));
    }
    if ((changes.fields & kDistance) != 0) {
        m_distance->SetText(FormatDistance(values.distance, Text("obd distance unit")));
    }
    if ((changes.fields & kEngineSpeed) != 0) {
        m_engineSpeed->SetText(FormatEngineSpeed(values.engineSpeed, Text("obd RPM unit")));
    }
    if ((changes.fields & kVoltage) != 0) {
        m_voltageUnit->SetText(
            FormatVoltage(m_variant, values.voltageTenths, Text("obd voltage unit")));
    }
}

void CWndOBD::ToggleDisplayTest() {
    m_displayTest = !m_displayTest;
    ObdValues values = m_tracker.Values();
    values.speed = m_displayTest ? kTestSpeed : 0;
    values.distance = m_displayTest ? kTestDistance : 0;
    values.engineSpeed = m_displayTest ? kTestEngineSpeed : 0;
    values.accelerator = m_displayTest ? kTestAccelerator : 0;
    if (m_tracker.Update(values)) {
        ScheduleRedraw();
    }
}

void CWndOBD::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QImage* background = m_context.images->GetImageFile(QStringLiteral("obd_bg"));
    const _WIN_POS* box = m_context.positions->GetWinPos(QStringLiteral("OBD box"));
    if (background != nullptr && !background->isNull() && box != nullptr) {
        const QRect target = viewer::LayoutRect(*box, width(), height());
        painter.drawImage(target.isEmpty() ? rect() : target, *background);
    }
}

void CWndOBD::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void CWndOBD::LayOut() {
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child == m_displayTestButton) {
            continue;
        }
        const _WIN_POS* position = m_context.positions->GetWinPos(child->objectName());
        if (position != nullptr) {
            child->setGeometry(viewer::LayoutRect(*position, width(), height()));
        }
    }
    m_displayTestButton->raise();
}
