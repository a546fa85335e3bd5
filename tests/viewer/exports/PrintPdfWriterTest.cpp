#include "viewer/exports/PrintPdfWriter.h"
#include "viewer/exports/PrintPage.h"

#include "skinres/CExLangManager.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPageSize>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using viewer::exports::PrintPage;
using viewer::exports::PrintPageContent;
using viewer::exports::PrintPdfWriter;

constexpr int kDpi = 100;

QImage Filled(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Runs a poppler tool; its standard output, or a failed test.
QByteArray RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput();
}

class PrintPdfWriterTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_folder.isValid());
        const QString file = QStringLiteral(TACHY_DATA_DIR "/lang/ENG/lang_eng.ini");
        m_language.LoadTextInfo(file);
        m_language.LoadFontInfo(file);
        ASSERT_GT(m_language.GetTextCount(), 0u);
    }

    PrintPage MakePage() const {
        PrintPageContent content = PrintPageContent::FromLanguage(m_language);
        content.pictures.SetPicture(0, Filled(1280, 720, qRgb(200, 30, 30)));
        content.pictures.SetPicture(1, Filled(640, 480, qRgb(30, 160, 40)));
        content.pictures.SetPicture(2, Filled(640, 480, qRgb(40, 60, 200)));
        content.second = 1700000000;
        content.latitude = -3733.1234;
        content.longitude = 12659.9999;
        content.speed = 87.9;
        content.gSensorX = 0.5;
        content.gSensorY = -1.25;
        content.gSensorZ = 0.98;
        content.memo = QStringLiteral("Stopped at the crossing");
        return PrintPage(content, QPageSize(QPageSize::A4));
    }

    QString WritePdf(const PrintPage& page) {
        const QString pdf = m_folder.filePath(QStringLiteral("page.pdf"));
        EXPECT_TRUE(PrintPdfWriter::Write(page, pdf, QStringLiteral("Tachy driving report")));
        return pdf;
    }

    // The PDF's one page as a PNG at kDpi.
    QImage Rasterise(const QString& pdf) {
        const QString stem = m_folder.filePath(QStringLiteral("page"));
        RunTool(QStringLiteral("pdftoppm"),
                {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(kDpi),
                 QStringLiteral("-singlefile"), pdf, stem});
        return QImage(stem + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
    }

    QTemporaryDir m_folder;
    CExLangManager m_language;
};

TEST_F(PrintPdfWriterTest, TheFourSectionsValuesAreInThePdfText) {
    const PrintPage page = MakePage();
    const QString pdf = WritePdf(page);
    const QString text = QString::fromUtf8(
        RunTool(QStringLiteral("pdftotext"),
                {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")}));
    for (const char* expected :
         {"Driving report", "Time", "Position and speed", "G-sensor", "Note", "2023-11-14 22:13:20",
          "37° 33' 07\" (S), 126° 59' 59\" (E), Speed: 87 Km/h", "X: 0.5000, Y: -1.2500, Z: 0.9800",
          "Stopped at the crossing"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                << text.toStdString();
    }
}

TEST_F(PrintPdfWriterTest, ThePrintedPageShowsTheTitleAndPicturesWhereThePreviewDoes) {
    const PrintPage page = MakePage();
    const QImage png = Rasterise(WritePdf(page));
    ASSERT_FALSE(png.isNull());
    // A4 at 100 dpi.
    EXPECT_NEAR(png.width(), 827, 1);
    EXPECT_NEAR(png.height(), 1169, 1);
    const double scale = png.width() / page.Layout().page.width();

    const QRgb colours[3] = {qRgb(200, 30, 30), qRgb(30, 160, 40), qRgb(40, 60, 200)};
    ASSERT_EQ(page.Layout().pictures.size(), 3u);
    for (const auto& picture : page.Layout().pictures) {
        const QPoint centre = (picture.rect.center() * scale).toPoint();
        const QRgb pixel = png.pixel(centre);
        const QRgb expected = colours[picture.channel];
        EXPECT_NEAR(qRed(pixel), qRed(expected), 8) << picture.channel;
        EXPECT_NEAR(qGreen(pixel), qGreen(expected), 8) << picture.channel;
        EXPECT_NEAR(qBlue(pixel), qBlue(expected), 8) << picture.channel;
    }

    // Dark blue title pixels inside the title's box, none outside the page's text and pictures.
    const QRect title =
        QRectF(page.Layout().title.topLeft() * scale, page.Layout().title.bottomRight() * scale)
            .toAlignedRect();
    int blue = 0;
    for (int y = title.top(); y <= title.bottom(); ++y) {
        for (int x = title.left(); x <= title.right(); ++x) {
            const QRgb pixel = png.pixel(x, y);
            blue += qBlue(pixel) > qRed(pixel) + 60 && std::abs(qRed(pixel) - qGreen(pixel)) < 8;
        }
    }
    EXPECT_GT(blue, 50);
    EXPECT_EQ(png.pixel(png.width() - 5, 5), qRgb(255, 255, 255));
    EXPECT_EQ(png.pixel(png.width() / 2, png.height() - 5), qRgb(255, 255, 255));

    // The preview drawn at the same width holds the same page: compare block averages.
    const QImage preview = page.Preview(png.width());
    ASSERT_EQ(preview.size(), png.size());
    int differing = 0;
    constexpr int kBlock = 16;
    for (int y = 0; y + kBlock <= png.height(); y += kBlock) {
        for (int x = 0; x + kBlock <= png.width(); x += kBlock) {
            long sumPrinted = 0;
            long sumPreview = 0;
            for (int dy = 0; dy < kBlock; ++dy) {
                for (int dx = 0; dx < kBlock; ++dx) {
                    sumPrinted += qGray(png.pixel(x + dx, y + dy));
                    sumPreview += qGray(preview.pixel(x + dx, y + dy));
                }
            }
            differing += std::abs(sumPrinted - sumPreview) > 24 * kBlock * kBlock ? 1 : 0;
        }
    }
    EXPECT_EQ(differing, 0);

    ASSERT_TRUE(QDir().mkpath(QStringLiteral(TACHY_ARTIFACT_DIR)));
    EXPECT_TRUE(png.save(QStringLiteral(TACHY_ARTIFACT_DIR "/print-page.png")));
}

TEST_F(PrintPdfWriterTest, AnUnwritableFileIsReported) {
    const PrintPage page = MakePage();
    EXPECT_FALSE(PrintPdfWriter::Write(page, m_folder.filePath(QStringLiteral("missing/page.pdf")),
                                       QStringLiteral("x")));
}

} // namespace
