#pragma once
// Where everything of the printed page goes, in page units: the page is kPageWidth units wide
// and as tall as the paper's shape makes it. Every device (the preview image, a printer, a PDF
// file) draws the same layout scaled to its width, so the preview shows what is printed.

#include <QFont>
#include <QLineF>
#include <QRectF>
#include <QSizeF>

#include <array>
#include <vector>

namespace viewer::exports {

struct PrintPageContent;
class SnapshotPictureSet;

struct PrintPageLayout {
    static constexpr double kPageWidth = 500;
    // Height the pictures may take together, less 10 units per channel between them.
    static constexpr double kPictureHeight = 405;

    struct Picture {
        int channel = 0;
        QRectF rect;
    };
    struct Section {
        QRectF heading;
        QRectF value;
    };

    // The page's size in page units for a paper of this shape (any unit).
    static QSizeF PageSize(const QSizeF& paper);
    // The drawn size of each channel's picture (empty for a channel without one) when the
    // pictures may be `width` units wide.
    static std::array<QSizeF, 3> PictureSizes(const SnapshotPictureSet& pictures, double width);
    static QFont TitleFont(const PrintPageContent& content);
    static QFont SectionFont(const PrintPageContent& content, int section);

    static PrintPageLayout Compute(const PrintPageContent& content, const QSizeF& pageSize);

    QSizeF page;
    QRectF title;
    QLineF titleLine;
    std::vector<Picture> pictures;
    std::array<Section, 4> sections;
    QLineF closingLine;
};

} // namespace viewer::exports
