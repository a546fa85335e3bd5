#include "tools/skingen/GlyphPainter.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include <functional>
#include <map>

namespace tachy::skingen {

namespace {

// Every glyph is designed on a 24 x 24 grid; the painter maps the grid onto the box.
using Draw = std::function<void(QPainter&)>;

QPolygonF triangle(QPointF a, QPointF b, QPointF c) {
    return QPolygonF({a, b, c});
}

void filled(QPainter& p, const QPolygonF& polygon) {
    p.save();
    p.setBrush(p.pen().color());
    p.drawPolygon(polygon);
    p.restore();
}

void magnifier(QPainter& p, bool plus) {
    p.drawEllipse(QPointF(10, 10), 6.5, 6.5);
    p.drawLine(QPointF(15, 15), QPointF(20.5, 20.5));
    p.drawLine(QPointF(7, 10), QPointF(13, 10));
    if (plus) {
        p.drawLine(QPointF(10, 7), QPointF(10, 13));
    }
}

void corners(QPainter& p, bool outward) {
    const double a = outward ? 4 : 9;
    const double b = outward ? 9 : 4;
    p.drawPolyline(QPolygonF({{a, b}, {a, a}, {b, a}}));
    p.drawPolyline(QPolygonF({{24 - b, a}, {24 - a, a}, {24 - a, b}}));
    p.drawPolyline(QPolygonF({{a, 24 - b}, {a, 24 - a}, {b, 24 - a}}));
    p.drawPolyline(QPolygonF({{24 - b, 24 - a}, {24 - a, 24 - a}, {24 - a, 24 - b}}));
}

void arrow(QPainter& p, QPointF from, QPointF to, double head) {
    p.drawLine(from, to);
    const QPointF d = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF n(-d.y(), d.x());
    p.drawPolyline(QPolygonF({to - d * head + n * head, to, to - d * head - n * head}));
}

const std::map<Glyph, Draw>& glyphs() {
    static const std::map<Glyph, Draw> table = {
        {Glyph::PreviousFile, [](QPainter& p) {
             p.drawLine(QPointF(5, 6), QPointF(5, 18));
             filled(p, triangle({19, 6}, {19, 18}, {8, 12}));
         }},
        {Glyph::StepBackward, [](QPainter& p) {
             filled(p, triangle({12, 6}, {12, 18}, {4, 12}));
             filled(p, triangle({20, 6}, {20, 18}, {12, 12}));
         }},
        {Glyph::Play, [](QPainter& p) { filled(p, triangle({7, 5}, {7, 19}, {19, 12})); }},
        {Glyph::Pause, [](QPainter& p) {
             p.drawLine(QPointF(8.5, 5.5), QPointF(8.5, 18.5));
             p.drawLine(QPointF(15.5, 5.5), QPointF(15.5, 18.5));
         }},
        {Glyph::StepForward, [](QPainter& p) {
             filled(p, triangle({4, 6}, {4, 18}, {12, 12}));
             filled(p, triangle({12, 6}, {12, 18}, {20, 12}));
         }},
        {Glyph::NextFile, [](QPainter& p) {
             filled(p, triangle({5, 6}, {5, 18}, {16, 12}));
             p.drawLine(QPointF(19, 6), QPointF(19, 18));
         }},
        {Glyph::FrameStep, [](QPainter& p) {
             p.drawRoundedRect(QRectF(3.5, 5.5, 17, 13), 2, 2);
             filled(p, triangle({10, 9}, {10, 15}, {15, 12}));
         }},
        {Glyph::SpeedDown, [](QPainter& p) {
             p.drawPolyline(QPolygonF({{12, 6}, {6, 12}, {12, 18}}));
             p.drawPolyline(QPolygonF({{19, 6}, {13, 12}, {19, 18}}));
         }},
        {Glyph::SpeedUp, [](QPainter& p) {
             p.drawPolyline(QPolygonF({{5, 6}, {11, 12}, {5, 18}}));
             p.drawPolyline(QPolygonF({{12, 6}, {18, 12}, {12, 18}}));
         }},
        {Glyph::ZoomOut, [](QPainter& p) { magnifier(p, false); }},
        {Glyph::ZoomIn, [](QPainter& p) { magnifier(p, true); }},
        {Glyph::FullScreen, [](QPainter& p) { corners(p, true); }},
        {Glyph::RestoreScreen, [](QPainter& p) { corners(p, false); }},
        {Glyph::SwitchChannel, [](QPainter& p) {
             arrow(p, {4, 8}, {20, 8}, 3.5);
             arrow(p, {20, 16}, {4, 16}, 3.5);
         }},
        {Glyph::Delete, [](QPainter& p) {
             p.drawLine(QPointF(4, 6.5), QPointF(20, 6.5));
             p.drawPolyline(QPolygonF({{9, 6.5}, {9, 4}, {15, 4}, {15, 6.5}}));
             p.drawPolyline(QPolygonF({{6, 6.5}, {7, 20}, {17, 20}, {18, 6.5}}));
             p.drawLine(QPointF(10, 10), QPointF(10, 16.5));
             p.drawLine(QPointF(14, 10), QPointF(14, 16.5));
         }},
        {Glyph::TimeLapse, [](QPainter& p) {
             p.drawEllipse(QPointF(12, 13), 7.5, 7.5);
             p.drawPolyline(QPolygonF({{12, 8.5}, {12, 13}, {15.5, 15}}));
             p.drawLine(QPointF(9.5, 3), QPointF(14.5, 3));
         }},
        {Glyph::Flip, [](QPainter& p) {
             p.drawLine(QPointF(3, 12), QPointF(21, 12));
             filled(p, triangle({7, 9}, {17, 9}, {12, 3.5}));
             p.drawPolygon(triangle({7, 15}, {17, 15}, {12, 20.5}));
         }},
        {Glyph::Mirror, [](QPainter& p) {
             p.drawLine(QPointF(12, 3), QPointF(12, 21));
             filled(p, triangle({9, 7}, {9, 17}, {3.5, 12}));
             p.drawPolygon(triangle({15, 7}, {15, 17}, {20.5, 12}));
         }},
        {Glyph::Folder, [](QPainter& p) {
             p.drawPolygon(QPolygonF({{3, 6}, {9, 6}, {11, 8.5}, {21, 8.5}, {21, 19}, {3, 19}}));
             p.drawLine(QPointF(3, 11.5), QPointF(21, 11.5));
         }},
        {Glyph::MemoryCard, [](QPainter& p) {
             p.drawPolygon(QPolygonF({{6, 3}, {15, 3}, {19, 7}, {19, 21}, {6, 21}}));
             for (double x : {9.5, 12.5, 15.5}) {
                 p.drawLine(QPointF(x, 6), QPointF(x, 9));
             }
         }},
        {Glyph::Gear, [](QPainter& p) {
             p.drawEllipse(QPointF(12, 12), 3, 3);
             QPainterPath path;
             for (int i = 0; i < 8; ++i) {
                 const double a0 = (i * 45 - 12) * M_PI / 180;
                 const double a1 = (i * 45 + 12) * M_PI / 180;
                 const double a2 = (i * 45 + 22.5) * M_PI / 180;
                 const QPointF o0(12 + 8.5 * std::cos(a0), 12 + 8.5 * std::sin(a0));
                 const QPointF o1(12 + 8.5 * std::cos(a1), 12 + 8.5 * std::sin(a1));
                 const QPointF i2(12 + 6.3 * std::cos(a2), 12 + 6.3 * std::sin(a2));
                 if (i == 0) {
                     path.moveTo(o0);
                 } else {
                     path.lineTo(o0);
                 }
                 path.lineTo(o1);
                 path.lineTo(i2);
             }
             path.closeSubpath();
             p.drawPath(path);
         }},
        {Glyph::Printer, [](QPainter& p) {
             p.drawPolyline(QPolygonF({{7, 9}, {7, 3.5}, {17, 3.5}, {17, 9}}));
             p.drawRoundedRect(QRectF(3, 9, 18, 8), 1.5, 1.5);
             p.drawRect(QRectF(7, 14, 10, 6.5));
         }},
        {Glyph::Camera, [](QPainter& p) {
             p.drawPolygon(QPolygonF({{3, 8}, {7.5, 8}, {9.5, 5}, {14.5, 5}, {16.5, 8}, {21, 8},
                                      {21, 19}, {3, 19}}));
             p.drawEllipse(QPointF(12, 13), 3.5, 3.5);
         }},
        {Glyph::Info, [](QPainter& p) {
             p.drawEllipse(QPointF(12, 12), 9, 9);
             p.drawLine(QPointF(12, 11), QPointF(12, 17));
             p.drawPoint(QPointF(12, 7.5));
         }},
        {Glyph::Globe, [](QPainter& p) {
             p.drawEllipse(QPointF(12, 12), 9, 9);
             p.drawEllipse(QPointF(12, 12), 4, 9);
             p.drawLine(QPointF(3, 12), QPointF(21, 12));
         }},
        {Glyph::Close, [](QPainter& p) {
             p.drawLine(QPointF(6, 6), QPointF(18, 18));
             p.drawLine(QPointF(18, 6), QPointF(6, 18));
         }},
        {Glyph::Maximise, [](QPainter& p) { p.drawRect(QRectF(6, 6, 12, 12)); }},
        {Glyph::Restore, [](QPainter& p) {
             p.drawRect(QRectF(5, 9, 10, 10));
             p.drawPolyline(QPolygonF({{9, 9}, {9, 5}, {19, 5}, {19, 15}, {15, 15}}));
         }},
        {Glyph::Minimise, [](QPainter& p) { p.drawLine(QPointF(6, 12), QPointF(18, 12)); }},
        {Glyph::Sun, [](QPainter& p) {
             p.drawEllipse(QPointF(12, 12), 4, 4);
             for (int i = 0; i < 8; ++i) {
                 const double a = i * M_PI / 4;
                 p.drawLine(QPointF(12 + 7 * std::cos(a), 12 + 7 * std::sin(a)),
                            QPointF(12 + 9.5 * std::cos(a), 12 + 9.5 * std::sin(a)));
             }
         }},
        {Glyph::Contrast, [](QPainter& p) {
             p.drawEllipse(QPointF(12, 12), 8.5, 8.5);
             QPainterPath half;
             half.moveTo(12, 3.5);
             half.arcTo(QRectF(3.5, 3.5, 17, 17), 90, -180);
             half.closeSubpath();
             p.save();
             p.setBrush(p.pen().color());
             p.drawPath(half);
             p.restore();
         }},
        {Glyph::List, [](QPainter& p) {
             for (double y : {6.0, 12.0, 18.0}) {
                 p.drawPoint(QPointF(5, y));
                 p.drawLine(QPointF(9, y), QPointF(20, y));
             }
         }},
        {Glyph::MapPin, [](QPainter& p) {
             QPainterPath pin;
             pin.moveTo(12, 21);
             pin.cubicTo(12, 21, 5, 14, 5, 9.5);
             pin.arcTo(QRectF(5, 2.5, 14, 14), 180, -180);
             pin.cubicTo(19, 14, 12, 21, 12, 21);
             p.drawPath(pin);
             p.drawEllipse(QPointF(12, 9.5), 2.5, 2.5);
         }},
        {Glyph::Gauge, [](QPainter& p) {
             p.drawArc(QRectF(3, 5, 18, 18), 200 * 16, -220 * 16);
             p.drawLine(QPointF(12, 14), QPointF(16.5, 8.5));
             p.drawEllipse(QPointF(12, 14), 1.2, 1.2);
         }},
        {Glyph::Document, [](QPainter& p) {
             p.drawPolygon(QPolygonF({{5, 3}, {14, 3}, {19, 8}, {19, 21}, {5, 21}}));
             p.drawLine(QPointF(8.5, 12), QPointF(15.5, 12));
             p.drawLine(QPointF(8.5, 16), QPointF(15.5, 16));
         }},
        {Glyph::Speaker, [](QPainter& p) {
             p.drawPolygon(QPolygonF({{3, 9}, {7, 9}, {12, 4.5}, {12, 19.5}, {7, 15}, {3, 15}}));
             p.drawArc(QRectF(9, 7, 8, 10), -60 * 16, 120 * 16);
             p.drawArc(QRectF(9, 3.5, 12, 17), -60 * 16, 120 * 16);
         }},
        {Glyph::TurnLeft, [](QPainter& p) {
             filled(p, QPolygonF({{3, 12}, {11, 4}, {11, 8.5}, {21, 8.5}, {21, 15.5}, {11, 15.5},
                                  {11, 20}}));
         }},
        {Glyph::TurnRight, [](QPainter& p) {
             filled(p, QPolygonF({{21, 12}, {13, 4}, {13, 8.5}, {3, 8.5}, {3, 15.5}, {13, 15.5},
                                  {13, 20}}));
         }},
        {Glyph::Pedal, [](QPainter& p) {
             p.drawRoundedRect(QRectF(7, 3, 10, 15), 2.5, 2.5);
             for (double y : {7.0, 10.5, 14.0}) {
                 p.drawLine(QPointF(10, y), QPointF(14, y));
             }
             p.drawLine(QPointF(12, 18), QPointF(12, 21));
         }},
        {Glyph::Brake, [](QPainter& p) {
             p.drawEllipse(QPointF(12, 12), 6, 6);
             p.drawArc(QRectF(2.5, 3.5, 19, 17), 120 * 16, 120 * 16);
             p.drawArc(QRectF(2.5, 3.5, 19, 17), -60 * 16, 120 * 16);
             p.drawLine(QPointF(12, 9), QPointF(12, 12.5));
             p.drawPoint(QPointF(12, 15));
         }},
        {Glyph::Leaf, [](QPainter& p) {
             QPainterPath leaf;
             leaf.moveTo(4, 20);
             leaf.cubicTo(4, 9, 10, 4, 20, 4);
             leaf.cubicTo(20, 14, 15, 20, 4, 20);
             p.drawPath(leaf);
             p.drawLine(QPointF(4, 20), QPointF(14, 10));
         }},
        {Glyph::Battery, [](QPainter& p) {
             p.drawRoundedRect(QRectF(3, 7, 18, 12), 1.5, 1.5);
             p.drawLine(QPointF(7, 4.5), QPointF(7, 7));
             p.drawLine(QPointF(17, 4.5), QPointF(17, 7));
             p.drawLine(QPointF(6, 13), QPointF(9, 13));
             p.drawLine(QPointF(15, 11.5), QPointF(15, 14.5));
             p.drawLine(QPointF(13.5, 13), QPointF(16.5, 13));
         }},
    };
    return table;
}

} // namespace

void paintGlyph(QPainter& painter, Glyph glyph, const QRectF& box, const QColor& colour,
                double strokePixels) {
    const auto found = glyphs().find(glyph);
    if (found == glyphs().end()) {
        return;
    }
    const double side = std::min(box.width(), box.height());
    const double scale = side / 24.0;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(box.center().x() - side / 2, box.center().y() - side / 2);
    painter.scale(scale, scale);
    QPen pen(colour, strokePixels / std::max(scale, 1.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    found->second(painter);
    painter.restore();
}

} // namespace tachy::skingen
