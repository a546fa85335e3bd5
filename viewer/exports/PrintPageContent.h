#pragma once
// What the printed page shows: the language's title, section headings and font, the pictures
// of the channels, and the driving values of the current frame with the user's memo.

#include "viewer/exports/SnapshotPictureSet.h"

#include <QString>

#include <array>
#include <cstdint>

class CExLangManager;

namespace viewer::exports {

struct PrintPageContent {
    static constexpr int kSections = 4;

    // A language text with the size (pixels on the page) it is drawn at.
    struct Text {
        QString text;
        int size = 14;
    };

    // The texts of "print text title", "print text sec1" … "print text sec4" and the font.
    static PrintPageContent FromLanguage(const CExLangManager& language);

    // The four value lines, in section order.
    std::array<QString, kSections> SectionValues() const;

    QString fontName;
    Text title;
    std::array<Text, kSections> headings;

    SnapshotPictureSet pictures;

    std::int64_t second = 0; // the frame's second
    double latitude = 0;     // NMEA ddmm.mmmm, negative = south
    double longitude = 0;    // NMEA dddmm.mmmm, negative = west
    double speed = 0;        // km/h
    double gSensorX = 0;
    double gSensorY = 0;
    double gSensorZ = 0;
    QString memo;
};

} // namespace viewer::exports
