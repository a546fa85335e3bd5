// Renders every skinned control in every state with the default skin into one picture, kept in
// the build tree (artifacts/skin-gallery.png) so that the look can be inspected, and checks
// that the states really look different.

#include "skinctl/CCtrlButtonEx.h"
#include "skinctl/CCtrlDigit.h"
#include "skinctl/CCtrlGDIpString.h"
#include "skinctl/CCtrlHyperlink.h"
#include "skinctl/CCtrlImage.h"
#include "skinctl/CCtrlScrollBar.h"
#include "skinctl/CCtrlSkinList.h"
#include "skinctl/CCtrlSlider.h"
#include "skinctl/CCtrlText.h"
#include "skinres/CExImageManager.h"
#include "skinres/CExLangManager.h"
#include "skinres/CExWndPos.h"

#include "tests/support/QtTestApplication.h"

#include <QDir>
#include <QEnterEvent>
#include <QPainter>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

using tachy::skinctl::SkinStateImages;

namespace {

const QString kSkin = QStringLiteral(TACHY_DATA_DIR "/skin");
const QString kEnglish = QStringLiteral(TACHY_DATA_DIR "/lang/ENG/lang_eng.ini");
const QColor kText(0xE6, 0xE8, 0xEB);

// Button pictures by base name; each shows normal, over and pressed side by side.
const char* const kButtonBases[] = {
    "PrevFile_", "StepBackward_", "PlayForward_", "Pause_", "StepForward_", "NextFile_", "Step_",
    "SpeedDown_", "SpeedUp_", "ZoomOut_", "ZoomIn_", "Full_", "RestoreFF_", "Switch_",
    "Delete_", "Timelapse_", "Flip_", "Mirror_", "PlaySpeed_05x_", "PlaySpeed_10x_",
    "PlaySpeed_15x_", "PlaySpeed_20x_", "openfolder_", "opensdcard_", "setup_", "print_",
    "snapshot_", "info_", "lang_", "min_", "max_", "restore_", "exit_", "btn_brightness_",
    "btn_contrast_", "btn_list_", "btn_map_", "btn_obd_", "list_button_", "obd_btn_info_"};

class Gallery : public QWidget {
public:
    Gallery() {
        m_images.LoadImageFile(kSkin, kSkin + "/images.ini");
        m_positions.LoadInfo(kSkin, kSkin + "/position.ini");
        m_language.LoadTextInfo(kEnglish);
        m_language.LoadFontInfo(kEnglish);
        setAutoFillBackground(true);
        QPalette colours = palette();
        colours.setColor(QPalette::Window, QColor(0x15, 0x17, 0x1A));
        setPalette(colours);
        resize(1280, 1000);
    }

    QImage image(const char* name) const {
        const QImage* found = m_images.GetImageFile(QString::fromLatin1(name));
        return found == nullptr ? QImage() : *found;
    }

    // Places three buttons of one base (normal, over, pressed) and returns the cell width.
    int addButtonStates(const QString& base, QPoint at) {
        const SkinStateImages states = SkinStateImages::fromSkin(m_images, base);
        const QSize size = states.normal.size().isValid() ? states.normal.size() : QSize(40, 40);
        for (int state = 0; state < 3; ++state) {
            auto* button = new CCtrlButtonEx(this);
            button->SetImages(states);
            button->setGeometry(QRect(at + QPoint(state * (size.width() + 4), 0), size));
            if (base == "list_button_") {
                button->setText(m_language.GetText("list event"));
            }
            if (state == 1) {
                QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
                QApplication::sendEvent(button, &enter);
            } else if (state == 2) {
                button->setDown(true);
            }
            m_buttons.push_back({base, state, button});
        }
        return 3 * (size.width() + 4) + 12;
    }

    void addButtons() {
        QPoint at(12, 12);
        int rowHeight = 0;
        for (const char* base : kButtonBases) {
            const QSize size = SkinStateImages::fromSkin(m_images, base).normal.size();
            const int cell = 3 * (size.width() + 4) + 12;
            if (at.x() + cell > width() - 12) {
                at = QPoint(12, at.y() + rowHeight + 10);
                rowHeight = 0;
            }
            addButtonStates(QString::fromLatin1(base), at);
            at.rx() += cell;
            rowHeight = std::max(rowHeight, size.height());
        }
        m_nextRow = at.y() + rowHeight + 20;
    }

    void addCheckAndRadioButtons() {
        auto* timelapse = new CCtrlButtonEx(this);
        timelapse->SetImages(SkinStateImages::fromSkin(m_images, "Timelapse_"));
        timelapse->setCheckable(true);
        timelapse->setChecked(true);
        timelapse->setGeometry(12, m_nextRow, 40, 40);
        auto* disabled = new CCtrlButtonEx(this);
        disabled->SetImages(SkinStateImages::fromSkin(m_images, "Delete_"));
        disabled->setEnabled(false);
        disabled->setGeometry(56, m_nextRow, 40, 40);
        m_focused = new CCtrlButtonEx(this);
        m_focused->SetImages(SkinStateImages::fromSkin(m_images, "PlayForward_"));
        m_focused->setGeometry(100, m_nextRow, 40, 40);
        const char* const speeds[] = {"PlaySpeed_05x_", "PlaySpeed_10x_", "PlaySpeed_15x_",
                                      "PlaySpeed_20x_"};
        for (int i = 0; i < 4; ++i) {
            auto* radio = new CCtrlButtonEx(this);
            radio->SetImages(SkinStateImages::fromSkin(m_images, speeds[i]));
            radio->setCheckable(true);
            radio->setAutoExclusive(true);
            radio->setChecked(i == 1);
            radio->setGeometry(160 + i * 52, m_nextRow, 48, 40);
        }
        auto* toolbar = new CCtrlButtonEx(this);
        toolbar->SetImages(SkinStateImages::fromSkin(m_images, "openfolder_"));
        toolbar->SetButtonDiv(41, 7);
        toolbar->setGeometry(380, m_nextRow - 4, 48, 48);
        toolbar->setToolTip(m_language.GetText("btn open folder"));
    }

    void addImagesAndTexts() {
        const int y = m_nextRow + 56;
        const char* const symbols[] = {"obd_t_left_on", "obd_t_left_off", "obd_gear_d",
                                       "obd_gear_none", "obd_accel", "obd_break_on",
                                       "obd_eco_green", "obd_voltage", "icon_volume",
                                       "obd_t_right_on"};
        for (int i = 0; i < 10; ++i) {
            auto* symbol = new CCtrlImage(this);
            symbol->SetImage(image(symbols[i]));
            symbol->setGeometry(12 + i * 52, y, 48, 48);
        }
        const QString family = m_language.GetFontName();
        for (int alignment = 0; alignment < 3; ++alignment) {
            auto* label = new CCtrlText(this);
            label->SetBackground(image("PlayTime Bg"));
            label->SetTextFont(family, 11, alignment == 1 ? 1 : 0);
            label->SetTextColour(kText);
            label->SetAlignment(alignment);
            label->SetText(alignment == 2 ? "054 km/h" : "03:12/05:00");
            label->setGeometry(540 + alignment * 158, y + 8, 150, 32);
        }
    }

    void addSliders() {
        const int y = m_nextRow + 120;
        const CCtrlSlider::Images play{image("bar_bg"), image("bar_left"), image("bar_right"),
                                       image("bar_thumb")};
        const CCtrlSlider::Images volume{image("bar_bg_vol"), image("bar_left"),
                                         image("bar_right"), image("bar_thumb")};
        const CCtrlSlider::Images brightness{image("bar_brightness_bg"), QImage(), QImage(),
                                             image("bar_thumb")};
        const CCtrlSlider::Images contrast{image("bar_contrast_bg"), QImage(), QImage(),
                                           image("bar_thumb")};
        const CCtrlSlider::Images kinds[] = {play, volume, brightness, contrast};
        const int positions[] = {35, 80, 50, 65};
        for (int i = 0; i < 4; ++i) {
            auto* slider = new CCtrlSlider(8480 + i, this);
            slider->SetImages(kinds[i]);
            slider->SetPos(positions[i]);
            slider->setGeometry(12 + i * 310, y, 290, 32);
        }
        auto* disabled = new CCtrlSlider(1, this);
        disabled->SetImages(play);
        disabled->SetPos(60);
        disabled->setEnabled(false);
        disabled->setGeometry(12, y + 36, 290, 32);
    }

    void addListAndFriends() {
        const int y = m_nextRow + 200;
        auto* list = new CCtrlSkinList(8528, this);
        list->SetImages({image("list_list_bg"), image("list_row"), image("list_row_select"),
                         image("list_column"), image("list_scroll_bg"), image("list_scroll_thumb"),
                         image("list_checkbar"), image("list_check_unchecked"),
                         image("list_check_checked")});
        const _WIN_POS* colours = m_positions.GetWinPos("List ListBox");
        list->SetColours({QColor::fromRgba(colours->color[0]), QColor::fromRgba(colours->color[1]),
                          QColor::fromRgba(colours->color[2]),
                          QColor::fromRgba(colours->color[3])});
        list->SetRowHeight(m_positions.GetWinPos("List Row Info")->height);
        for (int column = 0; column < 6; ++column) {
            const QString header =
                column == 0 ? QString() : m_language.GetText(QString("list column%1").arg(column));
            list->InsertColumn(column, header,
                               m_positions.GetWinPos(QString("List Column Info%1").arg(column))
                                   ->width);
        }
        const char* const modes[] = {"list normal", "list event", "list parking", "list manual",
                                     "list timelapse", "list emergency", "list parkevent"};
        for (int row = 0; row < 14; ++row) {
            list->InsertItem(row, QString());
            list->SetItemText(row, 1, m_language.GetText(modes[row % 7]));
            list->SetItemText(row, 2, QString("202403%1").arg(10 + row));
            list->SetItemText(row, 3, QString("13%1509").arg(10 + row));
            list->SetItemText(row, 4, "01:00");
            list->SetItemText(row, 5, QString("TCY_%1_20240310_131509_N_1.avi").arg(row, 4, 10,
                                                                                     QChar('0')));
            list->SetCheck(row, row % 3 == 0);
        }
        list->SetHorizontalScroll(true);
        list->setGeometry(12, y, 328, 440);
        list->SetSelectedRow(2);
        list->SetIndicatedRow(4);
        m_list = list;

        auto* bar = new CCtrlScrollBar(Qt::Vertical, this);
        bar->SetImages(image("list_scroll_bg"), image("list_scroll_thumb"));
        bar->SetRange(100, 25);
        bar->SetValue(40);
        bar->setGeometry(352, y, 12, 200);

        auto* digits = new CCtrlDigit(this);
        digits->SetStrip(image("digit_strip"));
        digits->SetText("12:34.5 -0");
        digits->setGeometry(380, y, 200, 28);

        auto* link = new CCtrlHyperlink(this);
        link->SetOpensBrowser(false);
        link->SetLink(m_language.GetText("ver05"), QUrl(m_language.GetText("ver05")));
        link->setGeometry(380, y + 40, 260, 28);
    }

    void paintGraph(QPainter& painter, QPoint at) {
        painter.drawImage(at, image("GSensorBG"));
        const char* const axes[] = {"GSensor AXIS X", "GSensor AXIS Y", "GSensor AXIS Z"};
        const char* const keys[] = {"gsensor axis x", "gsensor axis y", "gsensor axis z"};
        const double values[] = {-0.125, 0.5, 1.0};
        for (int i = 0; i < 3; ++i) {
            const _WIN_POS* pos = m_positions.GetWinPos(axes[i]);
            CCtrlGDIpString drawer;
            drawer.SetFont(m_language.GetFontName(),
                           m_language.GetTextInfo(keys[i])->fontSize, CCtrlGDIpString::Bold);
            drawer.SetColour(QColor::fromRgba(pos->color[1]));
            const QString text = values[i] < 0
                                     ? QString("%1: %2").arg(m_language.GetText(keys[i]))
                                           .arg(values[i], 0, 'f', 4)
                                     : QString("%1: +%2").arg(m_language.GetText(keys[i]))
                                           .arg(values[i], 0, 'f', 4);
            drawer.Draw(painter, QRect(at + QPoint(pos->x, pos->y), QSize(pos->width, pos->height)),
                        text, 0);
        }
    }

    std::vector<std::tuple<QString, int, CCtrlButtonEx*>> m_buttons;
    CCtrlButtonEx* m_focused = nullptr;
    CCtrlSkinList* m_list = nullptr;
    int m_nextRow = 0;

protected:
    void paintEvent(QPaintEvent* event) override {
        QWidget::paintEvent(event);
        QPainter painter(this);
        paintGraph(painter, QPoint(660, m_nextRow + 280));
        painter.drawImage(QRect(660, m_nextRow + 480, 288, 96), image("title_logo"));
        painter.drawImage(QRect(960, m_nextRow + 480, 218, 88), image("screen_rear_bit"));
    }

private:
    CExImageManager m_images;
    CExWndPos m_positions;
    CExLangManager m_language;
};

} // namespace

TEST(SkinGallery, RendersEveryControlInEveryStateToPng) {
    tachy::test::testApplication();
    Gallery gallery;
    gallery.addButtons();
    gallery.addCheckAndRadioButtons();
    gallery.addImagesAndTexts();
    gallery.addSliders();
    gallery.addListAndFriends();
    gallery.show();
    QApplication::setActiveWindow(&gallery);
    gallery.m_focused->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();

    const QImage picture = gallery.grab().toImage();
    ASSERT_EQ(picture.size(), QSize(1280, 1000));
    ASSERT_TRUE(QDir().mkpath(TACHY_ARTIFACT_DIR));
    const QString path = QStringLiteral(TACHY_ARTIFACT_DIR "/skin-gallery.png");
    ASSERT_TRUE(picture.save(path));
    EXPECT_EQ(QImage(path).size(), QSize(1280, 1000));

    // Every button base has three pictures, and its three states look different.
    std::map<QString, std::array<QImage, 3>> states;
    for (const auto& [base, state, button] : gallery.m_buttons) {
        EXPECT_GT(button->width(), 0) << base.toStdString() << " has no picture";
        states[base][static_cast<std::size_t>(state)] = button->grab().toImage();
    }
    EXPECT_EQ(states.size(), std::size(kButtonBases));
    for (const auto& [base, shots] : states) {
        EXPECT_NE(shots[0], shots[1]) << base.toStdString() << ": over looks like normal";
        EXPECT_NE(shots[0], shots[2]) << base.toStdString() << ": pressed looks like normal";
        EXPECT_NE(shots[1], shots[2]) << base.toStdString() << ": pressed looks like over";
    }
    // The list shows its three row states differently.
    const QImage normalRow = gallery.m_list->grab(gallery.m_list->RowRect(3)).toImage();
    const QImage selectedRow = gallery.m_list->grab(gallery.m_list->RowRect(2)).toImage();
    const QImage indicatedRow = gallery.m_list->grab(gallery.m_list->RowRect(4)).toImage();
    EXPECT_NE(normalRow.pixel(2, 10), selectedRow.pixel(2, 10));
    EXPECT_NE(selectedRow.pixel(1, 10), indicatedRow.pixel(1, 10));
}
