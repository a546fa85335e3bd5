#include "tools/skingen/SkinLayout.h"

#include "tools/skingen/SkinPalette.h"

namespace tachy::skingen {

namespace {

using namespace palette;

SkinElement at(const char* name, int id, int x, int y, int width, int height) {
    SkinElement element;
    element.name = QString::fromLatin1(name);
    element.id = id;
    element.x = x;
    element.y = y;
    element.width = width;
    element.height = height;
    return element;
}

SkinElement anchored(SkinElement element, int left, int top, int right, int bottom) {
    element.stickToLeft = left;
    element.stickToTop = top;
    element.stickToRight = right;
    element.stickToBottom = bottom;
    return element;
}

SkinElement coloured(SkinElement element, std::vector<QColor> colours) {
    element.colours = std::move(colours);
    return element;
}

// The main window: title bar with toolbar, video frames, side panel and play bar.
void addMainWindow(std::vector<SkinElement>& out) {
    out.push_back(coloured(at("Main Frame", 102, 0, 0, 1280, 800), {kText, kBackground}));
    out.push_back(anchored(at("Titlebar", 0, 0, 0, 1280, 56), 0, 0, 0, -1));
    out.push_back(at("Titlebar Icon", 1024, 15, 5, 120, 48));
    const char* const tools[] = {"Open Folder", "Open SDCard", "Setup",   "Print",
                                 "Snapshot",    "Info",        "Language"};
    for (int i = 0; i < 7; ++i) {
        out.push_back(at(tools[i], 8544 + i, 772 + i * 52, 4, 48, 48));
    }
    out.push_back(at("Titlebar Min", 1003, 1144, 8, 40, 40));
    out.push_back(at("Titlebar Max", 1001, 1188, 8, 40, 40));
    out.push_back(at("Titlebar Restore", 1002, 1188, 8, 40, 40));
    out.push_back(at("Titlebar Exit", 1000, 1232, 8, 40, 40));
    // Three cameras: front large, rear and third below it.
    out.push_back(at("VideoFrame01", 0, 8, 64, 896, 432));
    out.push_back(at("VideoFrame02", 0, 8, 504, 444, 184));
    out.push_back(at("VideoFrame03", 0, 460, 504, 444, 184));
    // Two cameras: front and rear; the third box is not shown and the graph takes its place.
    out.push_back(at("VideoFrame01_1", 0, 8, 64, 896, 432));
    out.push_back(at("VideoFrame02_1", 0, 8, 504, 444, 184));
    out.push_back(at("VideoFrame03_1", 0, 0, 0, 0, 0));
    out.push_back(coloured(at("GSensor", 0, 460, 504, 444, 184),
                           {kText, kAccent, kAxisX, kAxisY, kAxisZ, kSecondaryText}));
    out.push_back(at("List Wnd", 0, 912, 64, 360, 548));
    out.push_back(at("VideoCtrl", 0, 912, 616, 360, 72));
    out.push_back(anchored(at("PlayCtrl", 0, 0, 696, 1280, 104), 0, -1, 0, 0));
}

// Inside a display box and the full-screen window.
void addDisplayHosts(std::vector<SkinElement>& out) {
    out.push_back(anchored(at("Display Frame", 0, 0, 0, 0, 0), 4, 4, 4, 4));
    out.push_back(anchored(at("PlayCtrl Full", 0, 0, 0, 0, 104), 0, -1, 0, 0));
}

// The play bar: transport and option buttons on the first row, sliders and labels below.
void addPlayBar(std::vector<SkinElement>& out) {
    struct Button {
        const char* name;
        int id;
        int x;
        int width;
    };
    const Button buttons[] = {
        {"PrevFile", 8448, 16, 40},          {"StepBackward", 8449, 60, 40},
        {"PlayForward", 8450, 104, 40},      {"Pause", 8451, 104, 40},
        {"StepForward", 8452, 148, 40},      {"NextFile", 8453, 192, 40},
        {"Step", 8454, 236, 40},             {"PlaySpeed Down", 8457, 296, 40},
        {"PlaySpeed Indicate", 0, 340, 56},  {"PlaySpeed Up", 8458, 400, 40},
        {"PlaySpeed 05", 8482, 456, 48},     {"PlaySpeed 10", 8483, 508, 48},
        {"PlaySpeed 15", 8484, 560, 48},     {"PlaySpeed 20", 8485, 612, 48},
        {"Timelapse", 8455, 672, 40},        {"Delete", 8456, 716, 40},
        {"Zoom Out", 8459, 776, 40},         {"Zoom In", 8460, 820, 40},
        {"Full", 8461, 864, 40},             {"RestoreFromFull", 8462, 864, 40},
        {"Switch", 8463, 908, 40},           {"Flip_ch0", 8488, 968, 40},
        {"Mirror_ch0", 8492, 1012, 40},      {"Flip_ch1", 8489, 1060, 40},
        {"Mirror_ch1", 8493, 1104, 40},      {"Flip_ch2", 8490, 1152, 40},
        {"Mirror_ch2", 8494, 1196, 40},
    };
    for (const Button& button : buttons) {
        out.push_back(at(button.name, button.id, button.x, 10, button.width, 40));
    }
    out.push_back(coloured(at("Playbar", 8480, 16, 62, 760, 32), {kText, kAccent}));
    out.push_back(coloured(at("PlayTime", 0, 788, 62, 150, 32), {kText}));
    out.push_back(coloured(at("Speed bg", 0, 946, 62, 120, 32), {kText}));
    out.push_back(at("Volume icon", 0, 1078, 62, 32, 32));
    out.push_back(coloured(at("Volumebar", 8481, 1114, 62, 150, 32), {kText, kAccent}));
}

// The picture-adjustment bar.
void addVideoControl(std::vector<SkinElement>& out) {
    out.push_back(at("VideoCtrl Brightness icon", 8560, 8, 4, 28, 28));
    out.push_back(coloured(at("Brightness Bar", 8562, 44, 2, 308, 32), {kText, kAccent}));
    out.push_back(at("VideoCtrl Contrast icon", 8561, 8, 40, 28, 28));
    out.push_back(coloured(at("Contrast Bar", 8563, 44, 38, 308, 32), {kText, kAccent}));
}

// The G-sensor graph, in the pixels of its background image.
void addGSensor(std::vector<SkinElement>& out) {
    // 90 px tall: the default model's full-range deflection is 45 px either side of the middle
    // line, so the range marks beside the top and bottom edges stand where +range and -range draw.
    out.push_back(at("GSensor Graph", 0, 44, 61, 388, 90));
    out.push_back(coloured(at("GSensor AXIS X", 0, 12, 8, 136, 22), {kText, kAxisX}));
    out.push_back(coloured(at("GSensor AXIS Y", 0, 154, 8, 136, 22), {kText, kAxisY}));
    out.push_back(coloured(at("GSensor AXIS Z", 0, 296, 8, 136, 22), {kText, kAxisZ}));
    out.push_back(coloured(at("GSensor Indicator+2G", 0, 2, 53, 40, 16), {kText, kSecondaryText}));
    out.push_back(coloured(at("GSensor Indicator 0G", 0, 2, 98, 40, 16), {kText, kSecondaryText}));
    out.push_back(coloured(at("GSensor Indicator-2G", 0, 2, 143, 40, 16), {kText, kSecondaryText}));
}

// The side panel: tab buttons, the page frame and the list page.
void addSidePanel(std::vector<SkinElement>& out) {
    out.push_back(at("List", 8496, 8, 8, 112, 36));
    out.push_back(at("Map", 8497, 124, 8, 112, 36));
    out.push_back(at("OBD", 8498, 240, 8, 112, 36));
    out.push_back(at("List subWnd", 0, 8, 52, 344, 492));
    const char* const modes[] = {"List All",    "List Normal",   "List Event",    "List Parking",
                                 "List Manual", "List ParkEvent", "List Timelapse",
                                 "List Emergency"};
    const int ids[] = {8517, 8518, 8519, 8520, 8521, 8522, 8523, 8524};
    for (int i = 0; i < 8; ++i) {
        out.push_back(at(modes[i], ids[i], 8 + (i % 4) * 84, 8 + (i / 4) * 34, 80, 28));
    }
    // Text colours: normal rows, then column header, selected and indicated (played) rows.
    out.push_back(coloured(at("List ListBox", 8528, 8, 80, 328, 376),
                           {kText, kSecondaryText, kText, kAccent, kWarning}));
    out.push_back(at("List Row Info", 0, 0, 0, 328, 32));
    const int widths[] = {32, 86, 84, 70, 58, 210};
    for (int i = 0; i < 6; ++i) {
        out.push_back(at(QString("List Column Info%1").arg(i).toLatin1().constData(), 0, 0, 0,
                         widths[i], 24));
    }
    out.push_back(at("List Save", 8512, 8, 460, 160, 32));
    out.push_back(at("List Delete", 8513, 176, 460, 160, 32));
}

// The vehicle-data page and its log dialog.
void addVehiclePage(std::vector<SkinElement>& out) {
    out.push_back(at("OBD box", 0, 0, 0, 344, 492));
    out.push_back(coloured(at("OBD Speed", 0, 24, 40, 200, 64), {kText}));
    out.push_back(coloured(at("OBD Speed Unit", 0, 228, 70, 96, 28), {kSecondaryText}));
    out.push_back(at("OBD t_left", 0, 24, 124, 48, 48));
    out.push_back(at("OBD GearBox", 0, 148, 124, 48, 48));
    out.push_back(at("OBD t_right", 0, 272, 124, 48, 48));
    out.push_back(coloured(at("OBD Distance", 0, 24, 192, 296, 28), {kText}));
    out.push_back(coloured(at("OBD RPM", 0, 24, 228, 296, 28), {kText}));
    out.push_back(at("OBD Accel", 0, 24, 268, 48, 48));
    out.push_back(coloured(at("OBD Accel Title", 0, 84, 270, 236, 22), {kText}));
    out.push_back(coloured(at("OBD Accel Unit", 0, 84, 294, 236, 22), {kSecondaryText}));
    out.push_back(at("OBD Brake", 0, 24, 328, 48, 48));
    out.push_back(coloured(at("OBD Brake Title", 0, 84, 340, 236, 24), {kText}));
    out.push_back(at("OBD ECO", 0, 24, 388, 48, 48));
    out.push_back(at("OBD Voltage", 0, 172, 388, 48, 48));
    out.push_back(coloured(at("OBD Voltage Unit", 0, 228, 400, 96, 24), {kText}));
    out.push_back(at("OBD DriveLog", 8536, 24, 444, 296, 36));
    out.push_back(at("OBDInfo", 137, 0, 0, 620, 420));
}

QString colourText(const QColor& colour) {
    return QString("%1,%2,%3,%4")
        .arg(colour.alpha())
        .arg(colour.red())
        .arg(colour.green())
        .arg(colour.blue());
}

} // namespace

const std::vector<SkinElement>& skinElements() {
    static const std::vector<SkinElement> elements = [] {
        std::vector<SkinElement> out;
        addMainWindow(out);
        addDisplayHosts(out);
        addPlayBar(out);
        addVideoControl(out);
        addGSensor(out);
        addSidePanel(out);
        addVehiclePage(out);
        return out;
    }();
    return elements;
}

QString positionFileText() {
    QString text = QStringLiteral(
        "; Default skin: where each element of a window lies, in its parent's pixels at the\r\n"
        "; design size 1280 x 800, with its anchoring (-1: not anchored) and colours\r\n"
        "; (alpha,red,green,blue). Generated by skingen; change the generator, not this file.\r\n");
    for (const SkinElement& e : skinElements()) {
        text += QString("\r\n[%1]\r\nid=%2\r\nx=%3\r\ny=%4\r\nwidth=%5\r\nheight=%6\r\n")
                    .arg(e.name)
                    .arg(e.id)
                    .arg(e.x)
                    .arg(e.y)
                    .arg(e.width)
                    .arg(e.height);
        text += QString("stickToLeft=%1\r\nstickToTop=%2\r\nstickToRight=%3\r\nstickToBottom=%4\r\n"
                        "HCenter=%5\r\n")
                    .arg(e.stickToLeft)
                    .arg(e.stickToTop)
                    .arg(e.stickToRight)
                    .arg(e.stickToBottom)
                    .arg(e.hCenter);
        for (std::size_t i = 0; i < e.colours.size() && i < 7; ++i) {
            const QString key = i == 0 ? QStringLiteral("ColorText")
                                       : QString("Color%1").arg(i - 1, 2, 10, QLatin1Char('0'));
            text += key + "=" + colourText(e.colours[i]) + "\r\n";
        }
    }
    return text;
}

} // namespace tachy::skingen
