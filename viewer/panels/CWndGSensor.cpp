#include "viewer/panels/CWndGSensor.h"

#include "skinres/CExImageManager.h"
#include "skinres/CExLangManager.h"
#include "skinres/CExWndPos.h"
#include "viewer/app/ViewerContext.h"
#include "viewer/app/WindowLayout.h"
#include "viewer/panels/GSensorLabelText.h"

#include <QPainter>
#include <QPen>

#include <algorithm>

namespace viewer::panels {
namespace {

// Colour entries of the graph's element: 1 the cursor, 2 to 4 the axes X, Y and Z.
constexpr std::size_t kCursorColourEntry = 1;
constexpr std::size_t kFirstAxisColourEntry = 2;
// Label text colour: entry 1 of each label's element.
constexpr std::size_t kLabelColourEntry = 1;

constexpr std::array<GSensorAxis, 3> kAxes{GSensorAxis::X, GSensorAxis::Y, GSensorAxis::Z};
constexpr std::array<const char*, 3> kValueElements{"GSensor AXIS X", "GSensor AXIS Y",
                                                    "GSensor AXIS Z"};
constexpr std::array<const char*, 3> kAxisTextKeys{"gsensor axis x", "gsensor axis y",
                                                   "gsensor axis z"};
constexpr std::array<const char*, 3> kIndicatorElements{
    "GSensor Indicator+2G", "GSensor Indicator 0G", "GSensor Indicator-2G"};
constexpr std::array<const char*, 3> kIndicatorSizeKeys{
    "gsensor indicator 2", "gsensor indicator 0", "gsensor indicator-2"};

// Used only when the skin has no usable background: the graph element's size, else this.
constexpr QSize kFallbackCanvasSize(444, 184);

const _WIN_POS& PositionOf(const ViewerContext& context, const char* section) {
    static const _WIN_POS kNone;
    if (context.positions == nullptr) {
        return kNone;
    }
    const _WIN_POS* position = context.positions->GetWinPos(QString::fromLatin1(section));
    return position != nullptr ? *position : kNone;
}

int FontSizeOf(const ViewerContext& context, const char* key) {
    if (context.language == nullptr) {
        return 0;
    }
    const _TAG_STRING_INFO* info = context.language->GetTextInfo(QString::fromLatin1(key));
    return info != nullptr ? info->fontSize : 0;
}

} // namespace

CWndGSensor::CWndGSensor(const ViewerContext& context, int gSensorRange, QWidget* parent)
    : QWidget(parent), m_penWidth(AxisPenWidth(context.modelCode)),
      m_scale(GraphScale(context.modelCode)), m_range(EffectiveRange(gSensorRange)) {
    LoadSkin(context);
    LoadLabels(context);
    SetState(0);
}

void CWndGSensor::LoadSkin(const ViewerContext& context) {
    const QImage* background = context.images != nullptr
                                   ? context.images->GetImageFile(QStringLiteral("GSensorBG"))
                                   : nullptr;
    if (background != nullptr && !background->isNull()) {
        m_background = background->convertToFormat(QImage::Format_ARGB32);
    } else {
        const _WIN_POS& element = PositionOf(context, "GSensor");
        const QSize size = element.width > 0 && element.height > 0
                               ? QSize(element.width, element.height)
                               : kFallbackCanvasSize;
        m_background = QImage(size, QImage::Format_ARGB32);
        m_background.fill(Qt::black);
    }
    // The canvas has the background's pixels and its device-pixel ratio, so that the graph,
    // laid out in the skin's design pixels, lands on a double-size background as on the other.
    m_canvas = QImage(m_background.size(), QImage::Format_ARGB32);
    m_canvas.setDevicePixelRatio(m_background.devicePixelRatio());

    const _WIN_POS& graph = PositionOf(context, "GSensor Graph");
    m_area = {graph.x, graph.y, graph.x + graph.width, graph.y + graph.height};

    const _WIN_POS& element = PositionOf(context, "GSensor");
    m_cursorColour = QColor::fromRgba(element.color[kCursorColourEntry]);
    for (std::size_t i = 0; i < m_axisColours.size(); ++i) {
        m_axisColours[i] = QColor::fromRgba(element.color[kFirstAxisColourEntry + i]);
    }
}

void CWndGSensor::LoadLabels(const ViewerContext& context) {
    const QString family =
        context.language != nullptr ? context.language->GetFontName() : QString();
    const int width = CanvasSize().width();
    const int height = CanvasSize().height();
    for (std::size_t i = 0; i < kAxes.size(); ++i) {
        const _WIN_POS& value = PositionOf(context, kValueElements[i]);
        m_valueLabels[i].rect = LayoutRect(value, width, height);
        m_valueLabels[i].drawer.SetFont(family, FontSizeOf(context, kAxisTextKeys[i]),
                                        CCtrlGDIpString::Bold);
        m_valueLabels[i].drawer.SetColour(QColor::fromRgba(value.color[kLabelColourEntry]));
        m_axisTexts[i] = context.language != nullptr
                             ? context.language->GetText(QString::fromLatin1(kAxisTextKeys[i]))
                             : QString();

        const _WIN_POS& indicator = PositionOf(context, kIndicatorElements[i]);
        m_indicatorLabels[i].rect = LayoutRect(indicator, width, height);
        m_indicatorLabels[i].drawer.SetFont(family, FontSizeOf(context, kIndicatorSizeKeys[i]),
                                            CCtrlGDIpString::Regular);
        m_indicatorLabels[i].drawer.SetColour(QColor::fromRgba(indicator.color[kLabelColourEntry]));
    }
}

void CWndGSensor::OnLanguageChanged(const ViewerContext& context) {
    LoadLabels(context);
    update();
}

void CWndGSensor::SetState(int state) {
    m_state = state;
    if (state != kPlayingState) {
        ForgetData();
        DrawBackground();
        QPainter painter(&m_canvas);
        DrawIndicators(painter);
        DrawValues(painter, {0.0f, 0.0f, 0.0f});
    }
    update();
}

void CWndGSensor::SetData(std::span<const driving::DrivingDataRecord> records, int count,
                          int frameCount) {
    m_records = records;
    m_count = std::clamp(count, 0, static_cast<int>(records.size()));
    m_frameCount = frameCount;
    m_cursorIndex = ClampCursorIndex(m_cursorIndex, m_count);
    DrawBackground();
    QPainter painter(&m_canvas);
    DrawIndicators(painter);
    DrawCurves(painter);
    painter.end();
    update();
}

void CWndGSensor::SetCursor(int recordIndex) {
    m_cursorIndex = ClampCursorIndex(recordIndex, m_count);
    update();
}

void CWndGSensor::ForgetData() {
    m_records = {};
    m_count = 0;
    m_frameCount = 0;
    m_cursorIndex = 0;
}

void CWndGSensor::DrawBackground() {
    QPainter painter(&m_canvas);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, m_background);
}

void CWndGSensor::DrawIndicators(QPainter& painter) const {
    const std::array<QString, 3> texts{UpperIndicatorText(m_range), MiddleIndicatorText(),
                                       LowerIndicatorText(m_range)};
    for (std::size_t i = 0; i < texts.size(); ++i) {
        m_indicatorLabels[i].drawer.Draw(painter, m_indicatorLabels[i].rect, texts[i],
                                         CCtrlGDIpString::AlignRight);
    }
}

void CWndGSensor::DrawCurves(QPainter& painter) const {
    // Aliased like the recorder's own graphs: a level value stays one crisp pixel row.
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const GSensorAxis axis : kAxes) {
        const std::vector<QPoint> points =
            AxisPolyline(m_records, m_count, axis, m_scale, m_range, m_area);
        if (points.empty()) {
            continue;
        }
        painter.setPen(QPen(m_axisColours[AxisSlot(axis)], m_penWidth));
        painter.drawPolyline(points.data(), static_cast<int>(points.size()));
    }
}

void CWndGSensor::DrawValues(QPainter& painter, const std::array<float, 3>& values) const {
    for (std::size_t i = 0; i < values.size(); ++i) {
        m_valueLabels[i].drawer.Draw(painter, m_valueLabels[i].rect,
                                     ValueLabelText(m_axisTexts[i], values[i]),
                                     CCtrlGDIpString::AlignLeft);
    }
}

void CWndGSensor::DrawCursor(QPainter& painter) const {
    const int x = CursorX(m_cursorIndex, m_count, m_area);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(m_cursorColour, 1.0));
    painter.drawLine(x, m_area.top, x, m_area.bottom);
}

bool CWndGSensor::ShowsData() const {
    return m_state == kPlayingState && m_count > 0;
}

QImage CWndGSensor::ComposeFrame() const {
    QImage frame = m_canvas.copy();
    if (ShowsData()) {
        QPainter painter(&frame);
        DrawCursor(painter);
        const driving::DrivingDataRecord& record =
            m_records[static_cast<std::size_t>(m_cursorIndex)];
        DrawValues(painter, {record.GSensorX(), record.GSensorY(), record.GSensorZ()});
    }
    return frame;
}

void CWndGSensor::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(rect(), ComposeFrame());
}

} // namespace viewer::panels
