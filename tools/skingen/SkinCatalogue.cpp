#include "tools/skingen/SkinCatalogue.h"

#include "tools/skingen/ControlPainter.h"
#include "tools/skingen/SkinPalette.h"

#include <QPainter>

namespace tachy::skingen {

namespace {

using namespace palette;

struct StateSuffix {
    const char* suffix;
    ButtonState state;
};
const StateSuffix kStates[] = {{"_normal", ButtonState::Normal},
                               {"_over", ButtonState::Over},
                               {"_press", ButtonState::Pressed}};

void addButton(std::vector<SkinPicture>& out, const QString& base, QSize size, ButtonStyle style,
               Glyph glyph, double glyphSide) {
    for (const StateSuffix& s : kStates) {
        const ButtonState state = s.state;
        out.push_back({base + s.suffix, kPng,
                       [=] { return buttonImage(size, state, style, glyph, glyphSide); }});
    }
}

void addLabelButton(std::vector<SkinPicture>& out, const QString& base, QSize size,
                    const QString& label) {
    for (const StateSuffix& s : kStates) {
        const ButtonState state = s.state;
        out.push_back({base + s.suffix, kPng, [=] { return labelButtonImage(size, state, label); }});
    }
}

void addPicture(std::vector<SkinPicture>& out, const char* name, std::function<QImage()> draw,
                unsigned sections = kPng) {
    out.push_back({QString::fromLatin1(name), sections, std::move(draw)});
}

QImage backgroundImage() {
    QImage image = transparentImage(1280, 800);
    image.fill(kBackground);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kPanelBorder, 1.0));
    painter.setBrush(kPanel);
    painter.drawRoundedRect(QRectF(912.5, 64.5, 359, 623), 10, 10);
    painter.drawRect(QRectF(-1, 696.5, 1282, 110));
    return image;
}

QImage titleBarImage() {
    QImage image = transparentImage(1280, 56);
    image.fill(kPanel);
    QPainter painter(&image);
    painter.fillRect(QRect(0, 55, 1280, 1), kPanelBorder);
    return image;
}

QImage videoFrameImage(const QColor& border) {
    QImage image = panelImage(QSize(896, 432), QColor(0x0E, 0x10, 0x12), border, 8);
    return image;
}

QImage graphBackground() {
    QImage image = panelImage(QSize(444, 184), kPanel, kPanelBorder, 8);
    QPainter painter(&image);
    painter.setPen(QPen(QColor(0x2A, 0x2E, 0x35), 1.0, Qt::DotLine));
    // The "GSensor Graph" rectangle (44, 61, 388 x 90): lines at the range, half range and 0.
    for (int i = 0; i <= 4; ++i) {
        const int y = 61 + i * 90 / 4;
        painter.drawLine(44, y, 432, y);
    }
    for (int i = 0; i <= 8; ++i) {
        const int x = 44 + i * 388 / 8;
        painter.drawLine(x, 61, x, 151);
    }
    painter.setPen(QPen(QColor(0x3A, 0x3F, 0x48), 1.0));
    painter.drawLine(44, 106, 432, 106);
    return image;
}

// The title logo is a button that opens the About box: clear when resting, so the logo of the
// background shows through, and a frame around it on hover and press.
QImage titleIconImage(ButtonState state) {
    QImage image = transparentImage(120, 48);
    if (state == ButtonState::Normal) {
        return image;
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(state == ButtonState::Pressed ? kAccent : kOverBorder, 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(1, 1, 118, 46), 8, 8);
    return image;
}

void addMainWindowPictures(std::vector<SkinPicture>& out) {
    addPicture(out, "HD-Bg", backgroundImage);
    addPicture(out, "HD-Titlebar", titleBarImage);
    addPicture(out, "title_logo", [] { return logoImage(QSize(288, 96), false); });
    for (const StateSuffix& s : kStates) {
        const ButtonState state = s.state;
        out.push_back({QStringLiteral("title_icon") + s.suffix, kPng, [=] { return titleIconImage(state); }});
    }
    addPicture(out, "app_icon", [] { return cropImage(logoImage(QSize(64, 64), false), QRect(6, 6, 52, 52)); },
               kPng | kIcon);
    addPicture(out, "VideoFrame01", [] { return videoFrameImage(kAccent); });
    addPicture(out, "VideoFrame02", [] { return videoFrameImage(kRaisedBorder); });
    const unsigned logo = kPng | kBitmap;
    addPicture(out, "screen_front_big", [] { return logoImage(QSize(888, 424), true); }, logo);
    addPicture(out, "screen_front_small", [] { return logoImage(QSize(436, 176), true); }, logo);
    addPicture(out, "screen_rear_small", [] { return logoImage(QSize(436, 176), true); }, logo);
    addPicture(out, "screen_rear_bit", [] { return logoImage(QSize(218, 88), true); }, logo);
    addPicture(out, "screen_full", [] { return logoImage(QSize(1920, 1080), true); }, logo);
    struct Tool {
        const char* base;
        Glyph glyph;
    };
    const Tool tools[] = {{"openfolder", Glyph::Folder}, {"opensdcard", Glyph::MemoryCard},
                          {"setup", Glyph::Gear},        {"print", Glyph::Printer},
                          {"snapshot", Glyph::Camera},   {"info", Glyph::Info},
                          {"lang", Glyph::Globe}};
    for (const Tool& tool : tools) {
        addButton(out, tool.base, QSize(48, 48), ButtonStyle::Flat, tool.glyph, 24);
    }
    addButton(out, "min", QSize(40, 40), ButtonStyle::Flat, Glyph::Minimise, 20);
    addButton(out, "max", QSize(40, 40), ButtonStyle::Flat, Glyph::Maximise, 20);
    addButton(out, "restore", QSize(40, 40), ButtonStyle::Flat, Glyph::Restore, 20);
    addButton(out, "exit", QSize(40, 40), ButtonStyle::FlatDanger, Glyph::Close, 20);
}

void addPlayBarPictures(std::vector<SkinPicture>& out) {
    struct Transport {
        const char* base;
        Glyph glyph;
    };
    const Transport transport[] = {
        {"PrevFile", Glyph::PreviousFile}, {"StepBackward", Glyph::StepBackward},
        {"PlayForward", Glyph::Play},      {"Pause", Glyph::Pause},
        {"StepForward", Glyph::StepForward}, {"NextFile", Glyph::NextFile},
        {"Step", Glyph::FrameStep},        {"SpeedDown", Glyph::SpeedDown},
        {"SpeedUp", Glyph::SpeedUp},       {"ZoomOut", Glyph::ZoomOut},
        {"ZoomIn", Glyph::ZoomIn},         {"Full", Glyph::FullScreen},
        {"RestoreFF", Glyph::RestoreScreen}, {"Switch", Glyph::SwitchChannel},
        {"Delete", Glyph::Delete},         {"Timelapse", Glyph::TimeLapse},
        {"Flip", Glyph::Flip},             {"Mirror", Glyph::Mirror}};
    for (const Transport& t : transport) {
        addButton(out, t.base, QSize(40, 40), ButtonStyle::Raised, t.glyph, 22);
    }
    const char* const speeds[][2] = {
        {"PlaySpeed_05x", "0.5×"}, {"PlaySpeed_10x", "1×"}, {"PlaySpeed_15x", "1.5×"},
        {"PlaySpeed_20x", "2×"}};
    for (const auto& speed : speeds) {
        addLabelButton(out, speed[0], QSize(48, 40), QString::fromUtf8(speed[1]));
        addPicture(out, speed[0], [label = QString::fromUtf8(speed[1])] {
            return labelButtonImage(QSize(56, 40), ButtonState::Pressed, label);
        });
    }
    addPicture(out, "playbar_bg", [] { return panelImage(QSize(1280, 104), kPanel, kPanel, 0); });
    addPicture(out, "PlayTime Bg",
               [] { return panelImage(QSize(150, 32), kBackground, kPanelBorder, 8); });
    addPicture(out, "PlayTime", [] { return panelImage(QSize(150, 32), kBackground, kAccent, 8); });
    addPicture(out, "speed_bg",
               [] { return panelImage(QSize(120, 32), kBackground, kPanelBorder, 8); });
    addPicture(out, "bar_bg", [] { return bandImage(QSize(8, 32), 6, kRaised, kRaised); });
    addPicture(out, "bar_bg_vol", [] { return bandImage(QSize(8, 32), 4, kRaised, kRaised); });
    addPicture(out, "bar_left", [] { return bandImage(QSize(8, 32), 6, kAccent, kAccent); });
    addPicture(out, "bar_right",
               [] { return bandImage(QSize(8, 32), 6, kRaisedBorder, kRaisedBorder); });
    addPicture(out, "bar_thumb", [] { return thumbImage(18); });
    addPicture(out, "icon_volume", [] { return glyphImage(QSize(32, 32), Glyph::Speaker, kText); });
}

void addPictureBarPictures(std::vector<SkinPicture>& out) {
    addButton(out, "btn_brightness", QSize(28, 28), ButtonStyle::Raised, Glyph::Sun, 18);
    addButton(out, "btn_contrast", QSize(28, 28), ButtonStyle::Raised, Glyph::Contrast, 18);
    addPicture(out, "bar_brightness_bg", [] {
        return bandImage(QSize(256, 32), 6, QColor(0x30, 0x30, 0x30), QColor(0xF0, 0xF0, 0xF0));
    });
    addPicture(out, "bar_contrast_bg", [] {
        return bandImage(QSize(256, 32), 6, QColor(0x70, 0x70, 0x70), kAccent);
    });
    addPicture(out, "videoctrl_bg_brightness",
               [] { return panelImage(QSize(360, 36), kPanel, kPanelBorder, 8); });
    addPicture(out, "videoctrl_bg_contrast",
               [] { return panelImage(QSize(360, 36), kPanel, kPanelBorder, 8); });
    addPicture(out, "GSensorBG", graphBackground);
}

void addSidePanelPictures(std::vector<SkinPicture>& out) {
    addButton(out, "btn_list", QSize(112, 36), ButtonStyle::Raised, Glyph::List, 20);
    addButton(out, "btn_map", QSize(112, 36), ButtonStyle::Raised, Glyph::MapPin, 20);
    addButton(out, "btn_obd", QSize(112, 36), ButtonStyle::Raised, Glyph::Gauge, 20);
    for (const char* box : {"tab_list_box", "tab_map_box", "tab_obd_box"}) {
        addPicture(out, box, [] { return panelImage(QSize(344, 492), kPanel, kPanelBorder, 8); });
    }
    addPicture(out, "list_list_bg",
               [] { return panelImage(QSize(328, 376), kBackground, kPanelBorder, 6); });
    addPicture(out, "list_row", [] {
        QImage image = transparentImage(8, 32);
        QPainter(&image).fillRect(QRect(0, 31, 8, 1), kPanelBorder);
        return image;
    });
    addPicture(out, "list_row_select", [] {
        QImage image = transparentImage(8, 32);
        image.fill(QColor(0x3D, 0x8B, 0xFD, 0x40));
        QPainter(&image).fillRect(QRect(0, 31, 8, 1), kAccent);
        return image;
    });
    addPicture(out, "list_column", [] {
        QImage image = transparentImage(8, 24);
        image.fill(kRaised);
        QPainter(&image).fillRect(QRect(0, 23, 8, 1), kRaisedBorder);
        return image;
    });
    addPicture(out, "list_scroll_bg", [] { return panelImage(QSize(12, 64), kPanel, kPanel, 6); });
    addPicture(out, "list_scroll_thumb",
               [] { return panelImage(QSize(12, 48), kRaisedBorder, kOverBorder, 6); });
    addPicture(out, "list_checkbar", [] {
        QImage image = transparentImage(32, 24);
        image.fill(kRaised);
        return image;
    });
    addPicture(out, "list_check_unchecked", [] { return checkBoxImage(18, false); });
    addPicture(out, "list_check_checked", [] { return checkBoxImage(18, true); });
    for (const StateSuffix& s : kStates) {
        const ButtonState state = s.state;
        out.push_back({QString("list_button") + s.suffix, kPng,
                       [=] { return captionButtonImage(QSize(80, 28), state); }});
    }
}

void addVehiclePictures(std::vector<SkinPicture>& out) {
    addPicture(out, "obd_bg", [] { return panelImage(QSize(344, 492), kPanel, kPanelBorder, 8); });
    const QSize icon(48, 48);
    addPicture(out, "obd_t_left_on", [=] { return glyphImage(icon, Glyph::TurnLeft, kGood); });
    addPicture(out, "obd_t_left_off",
               [=] { return glyphImage(icon, Glyph::TurnLeft, kRaisedBorder); });
    addPicture(out, "obd_t_right_on", [=] { return glyphImage(icon, Glyph::TurnRight, kGood); });
    addPicture(out, "obd_t_right_off",
               [=] { return glyphImage(icon, Glyph::TurnRight, kRaisedBorder); });
    for (const char* gear : {"d", "n", "p", "r", "s"}) {
        const QString name = QString("obd_gear_") + gear;
        const QString letter = QString::fromLatin1(gear).toUpper();
        out.push_back({name, kPng, [=] { return letterImage(icon, letter, kText); }});
    }
    addPicture(out, "obd_gear_none",
               [=] { return letterImage(icon, QStringLiteral("–"), kRaisedBorder); });
    addPicture(out, "obd_accel", [=] { return glyphImage(icon, Glyph::Pedal, kText); });
    addPicture(out, "obd_break_on", [=] { return glyphImage(icon, Glyph::Brake, kDanger); });
    addPicture(out, "obd_break_off", [=] { return glyphImage(icon, Glyph::Brake, kRaisedBorder); });
    addPicture(out, "obd_eco_white", [=] { return glyphImage(icon, Glyph::Leaf, kText); });
    addPicture(out, "obd_eco_red", [=] { return glyphImage(icon, Glyph::Leaf, kDanger); });
    addPicture(out, "obd_eco_green", [=] { return glyphImage(icon, Glyph::Leaf, kGood); });
    addPicture(out, "obd_voltage", [=] { return glyphImage(icon, Glyph::Battery, kText); });
    addButton(out, "obd_btn_info", QSize(296, 40), ButtonStyle::Raised, Glyph::Document, 22);
}

// Segment digits for the digit display: 0-9, colon, point, minus and blank, 16 x 28 each.
QImage digitStrip() {
    const char* const glyphs = "0123456789:.- ";
    constexpr int kWidth = 16;
    constexpr int kHeight = 28;
    // Segments a-g as lines on the cell: top, upper right, lower right, bottom, lower left,
    // upper left, middle.
    const QLineF segments[] = {{3, 2, 13, 2},   {14, 3, 14, 13}, {14, 15, 14, 25},
                               {3, 26, 13, 26}, {2, 15, 2, 25},  {2, 3, 2, 13},
                               {3, 14, 13, 14}};
    const unsigned masks[] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    QImage image = transparentImage(kWidth * 14, kHeight);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kText, 2.5, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 14; ++i) {
        painter.save();
        painter.translate(i * kWidth, 0);
        const char c = glyphs[i];
        if (c >= '0' && c <= '9') {
            for (int s = 0; s < 7; ++s) {
                if (masks[c - '0'] & (1u << s)) {
                    painter.drawLine(segments[s]);
                }
            }
        } else if (c == ':') {
            painter.drawPoint(QPointF(8, 9));
            painter.drawPoint(QPointF(8, 19));
        } else if (c == '.') {
            painter.drawPoint(QPointF(8, 25));
        } else if (c == '-') {
            painter.drawLine(segments[6]);
        }
        painter.restore();
    }
    return image;
}

} // namespace

const std::vector<SkinPicture>& skinPictures() {
    static const std::vector<SkinPicture> pictures = [] {
        std::vector<SkinPicture> out;
        addMainWindowPictures(out);
        addPlayBarPictures(out);
        addPictureBarPictures(out);
        addSidePanelPictures(out);
        addVehiclePictures(out);
        addPicture(out, "digit_strip", digitStrip);
        return out;
    }();
    return pictures;
}

QString pictureFile(const QString& name) {
    QString file = name;
    file.replace(QLatin1Char(' '), QLatin1Char('_'));
    return QStringLiteral("img/") + file + QStringLiteral(".png");
}

QString doublePictureFile(const QString& name) {
    QString file = pictureFile(name);
    file.insert(file.size() - 4, QStringLiteral("@2x"));
    return file;
}

QString imageListText() {
    QString text = QStringLiteral(
        "; Default skin: the pictures of each element, by name, relative to the skin folder.\r\n"
        "; Generated by skingen; change the generator, not this file.\r\n");
    const std::pair<unsigned, const char*> sections[] = {
        {kPng, "HD-png"}, {kBitmap, "HD-bmp"}, {kIcon, "HD-icon"}};
    for (const auto& [bit, section] : sections) {
        text += QString("\r\n[%1]\r\n").arg(section);
        for (const SkinPicture& picture : skinPictures()) {
            if (picture.sections & bit) {
                text += picture.name + "=" + pictureFile(picture.name) + "\r\n";
            }
        }
    }
    return text;
}

} // namespace tachy::skingen
