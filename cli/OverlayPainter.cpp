#include "cli/OverlayPainter.h"

#include "cli/TimeText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace tachy::cli {
namespace {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;

// Each glyph's seven rows, the leftmost pixel in bit 4.
struct GlyphRows {
    char c;
    std::uint8_t rows[kGlyphHeight];
};

constexpr GlyphRows kGlyphs[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {'/', {0x01, 0x01, 0x02, 0x04, 0x08, 0x10, 0x10}},
    {'k', {0x10, 0x10, 0x12, 0x14, 0x18, 0x14, 0x12}},
    {'m', {0x00, 0x00, 0x1A, 0x15, 0x15, 0x15, 0x15}},
    {'h', {0x10, 0x10, 0x16, 0x19, 0x11, 0x11, 0x11}},
    {'N', {0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}},
};

} // namespace

const std::uint8_t* OverlayPainter::Glyph(char c) {
    for (const GlyphRows& glyph : kGlyphs) {
        if (glyph.c == c) {
            return glyph.rows;
        }
    }
    return nullptr; // a space, or a character the font does not have
}

std::string OverlayPainter::TextAt(std::int64_t timeMs) const {
    std::string text = DateTimeText(timeMs);
    const auto after = std::upper_bound(
        m_samples.begin(), m_samples.end(), timeMs,
        [](std::int64_t time, const DrivingSample& sample) { return time < sample.timeMs; });
    if (after == m_samples.begin()) {
        return text;
    }
    const DrivingSample& sample = *(after - 1);
    char line[96];
    std::snprintf(line, sizeof line, "  %d km/h", sample.speedKmh);
    text += line;
    if (sample.hasPosition) {
        std::snprintf(line, sizeof line, "  %.5f%c %.5f%c", std::fabs(sample.latitude),
                      sample.latitude < 0 ? 'S' : 'N', std::fabs(sample.longitude),
                      sample.longitude < 0 ? 'W' : 'E');
        text += line;
    }
    return text;
}

void OverlayPainter::Draw(AVFrame& picture, const std::string& text) const {
    // One font pixel per 120 picture rows, as long as the whole line fits the picture's width;
    // at least one (the line is cut at the edge of a picture too narrow for it).
    const int widest = picture.width / (static_cast<int>(text.size()) * (kGlyphWidth + 1) + 1);
    const int scale = std::max(1, std::min(picture.height / 120, widest));
    const int advance = (kGlyphWidth + 1) * scale;
    const int bandHeight = (kGlyphHeight + 2) * scale;
    if (bandHeight > picture.height) {
        return;
    }
    const int top = picture.height - bandHeight;
    std::uint8_t* luma = picture.data[0];
    const int stride = picture.linesize[0];
    const int bandWidth = std::min(picture.width, static_cast<int>(text.size()) * advance + scale);
    for (int y = top; y < picture.height; ++y) {
        std::memset(luma + y * stride, 16, static_cast<std::size_t>(bandWidth));
    }
    for (int plane = 1; plane < 3; ++plane) {
        for (int y = top / 2; y < picture.height / 2; ++y) {
            std::memset(picture.data[plane] + y * picture.linesize[plane], 128,
                        static_cast<std::size_t>(bandWidth / 2));
        }
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::uint8_t* rows = Glyph(text[i]);
        const int left = scale + static_cast<int>(i) * advance;
        if (rows == nullptr || left + kGlyphWidth * scale > picture.width) {
            continue;
        }
        for (int row = 0; row < kGlyphHeight * scale; ++row) {
            const std::uint8_t bits = rows[row / scale];
            std::uint8_t* line = luma + (top + scale + row) * stride + left;
            for (int column = 0; column < kGlyphWidth * scale; ++column) {
                if ((bits >> (kGlyphWidth - 1 - column / scale)) & 1) {
                    line[column] = 235;
                }
            }
        }
    }
}

} // namespace tachy::cli
