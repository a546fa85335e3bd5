// The vehicle-data page and the driving-log dialog off screen, on the program folder's own
// skin and languages: what the page shows for records under the playback position in both
// variants, the buttons, and a screenshot of the page with values.

#include "viewer/obd/CWndOBD.h"
#include "viewer/obd/COBDInfo.h"

#include "platform/bus/CommandTarget.h"
#include "skinctl/CCtrlImage.h"
#include "skinctl/CCtrlText.h"
#include "tests/support/QtTestApplication.h"
#include "tests/support/TempFolder.h"
#include "tests/viewer/driving/DrivingRecordsFixture.h"
#include "tools/mkcard/DriveSimulator.h"
#include "viewer/app/CTachyPlayerApp.h"
#include "viewer/driving/CDrivingDataTable.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <vector>

using namespace viewer::obd;
using tachy::test::TempFolder;
using viewer::driving::DrivingDataRecord;

namespace {

class RecordingTarget : public tachy::CommandTarget {
public:
    std::intptr_t command(unsigned message, std::uintptr_t code, std::intptr_t argument) override {
        calls.push_back({message, code, argument});
        return 0;
    }
    struct Call {
        unsigned message;
        std::uintptr_t code;
        std::intptr_t argument;
    };
    std::vector<Call> calls;
};

template <typename T> void PutAt(DrivingDataRecord& record, std::size_t at, T value) {
    std::memcpy(record.bytes.data() + at, &value, sizeof value);
}

DrivingDataRecord VehicleRecord(int speed, std::uint32_t distance, char gear) {
    DrivingDataRecord record;
    record.bytes[kValidityOffset] = 57;
    PutAt<std::uint16_t>(record, kVoltageOffset, 125);
    record.bytes[kSpeedOffset] = static_cast<std::uint8_t>(speed);
    PutAt<std::uint16_t>(record, kEngineSpeedOffset, 2345);
    PutAt<std::uint32_t>(record, kDistanceOffset, distance);
    record.bytes[kAcceleratorOffset] = 35;
    record.bytes[kBrakeOffset] = 1;
    record.bytes[kTurnSignalOffset] = 1;
    record.bytes[kGearOffset] = gear;
    record.bytes[kEconomyOffset] = 1;
    return record;
}

class ObdPage : public testing::Test {
protected:
    static void SetUpTestSuite() {
        tachy::test::testApplication();
        s_data =
            new TempFolder; // NOLINT(cppcoreguidelines-owning-memory): freed in TearDownTestSuite
        std::filesystem::copy(TACHY_DATA_DIR, s_data->path() / "program",
                              std::filesystem::copy_options::recursive);
    }
    static void TearDownTestSuite() {
        delete s_data; // NOLINT(cppcoreguidelines-owning-memory)
        s_data = nullptr;
    }
    void SetUp() override {
        QString message;
        ASSERT_EQ(m_app.InitInstance(s_data->path() / "program", message),
                  CTachyPlayerApp::Start::Ready)
            << message.toStdString();
    }

    // A page of the model code's variant, at the size of the panel's page frame.
    std::unique_ptr<CWndOBD> MakePage(int modelCode) {
        m_context = m_app.Context();
        m_context.modelCode = modelCode;
        auto page = std::make_unique<CWndOBD>(m_context, &m_target);
        page->resize(344, 564);
        page->show();
        QApplication::processEvents();
        return page;
    }

    static QString TextOf(const CWndOBD& page, const char* element) {
        const auto* control = page.findChild<CCtrlText*>(QLatin1String(element));
        return control != nullptr ? control->GetText() : QStringLiteral("<missing>");
    }
    static QString ImageOf(const CWndOBD& page, const char* element) {
        const auto* control = page.findChild<CCtrlImage*>(QLatin1String(element));
        return control != nullptr ? control->accessibleName() : QStringLiteral("<missing>");
    }
    QString Language(const char* key) const { return m_app.Language().GetText(QLatin1String(key)); }

    static inline TempFolder* s_data = nullptr;
    CTachyPlayerApp m_app;
    ViewerContext m_context;
    RecordingTarget m_target;
};

TEST_F(ObdPage, StartsWithTheInitialImagesAndZeroValues) {
    const auto page = MakePage(0);
    EXPECT_EQ(ImageOf(*page, "OBD t_left"), QStringLiteral("obd_t_left_off"));
    EXPECT_EQ(ImageOf(*page, "OBD t_right"), QStringLiteral("obd_t_right_off"));
    EXPECT_EQ(ImageOf(*page, "OBD GearBox"), QStringLiteral("obd_gear_none"));
    EXPECT_EQ(ImageOf(*page, "OBD Accel"), QStringLiteral("obd_accel"));
    EXPECT_EQ(ImageOf(*page, "OBD Brake"), QStringLiteral("obd_break_off"));
    EXPECT_EQ(ImageOf(*page, "OBD ECO"), QStringLiteral("obd_eco_green"));
    EXPECT_EQ(ImageOf(*page, "OBD Voltage"), QStringLiteral("obd_voltage"));
    EXPECT_EQ(TextOf(*page, "OBD Speed"), QStringLiteral("0"));
    EXPECT_EQ(TextOf(*page, "OBD Distance"), QStringLiteral("0") + Language("obd distance unit"));
    const auto* gear = page->findChild<CCtrlImage*>(QStringLiteral("OBD GearBox"));
    ASSERT_NE(gear, nullptr);
    EXPECT_EQ(gear->geometry(), QRect(148, 124, 48, 48));
    EXPECT_FALSE(gear->GetImage().isNull());
}

TEST_F(ObdPage, VariantAShowsTheRecordUnderThePosition) {
    const auto page = MakePage(0);
    ASSERT_EQ(page->GetVariant(), Variant::A);
    const std::vector<DrivingDataRecord> records = {VehicleRecord(10, 5, 'P'),
                                                    VehicleRecord(88, 1234567, 'd')};
    page->SetData(records, 100);
    page->SetPosition(50); // 50 * 2 / 100 = record 1
    EXPECT_TRUE(page->RedrawPending());
    QApplication::processEvents();
    EXPECT_FALSE(page->RedrawPending());
    EXPECT_EQ(TextOf(*page, "OBD Speed"), QStringLiteral("88"));
    EXPECT_EQ(TextOf(*page, "OBD Distance"),
              QStringLiteral("1,234,567") + Language("obd distance unit"));
    EXPECT_EQ(TextOf(*page, "OBD RPM"), QStringLiteral("2,345") + Language("obd RPM unit"));
    EXPECT_EQ(TextOf(*page, "OBD Voltage Unit"),
              QStringLiteral("12.5 ") + Language("obd voltage unit"));
    EXPECT_EQ(TextOf(*page, "OBD Accel Title"),
              Language("obd accel") + QStringLiteral(" 35") + Language("obd accel unit"));
    EXPECT_EQ(TextOf(*page, "OBD Brake Title"), Language("obd brake on"));
    EXPECT_EQ(ImageOf(*page, "OBD GearBox"), QStringLiteral("obd_gear_d"));
    EXPECT_EQ(ImageOf(*page, "OBD Brake"), QStringLiteral("obd_break_on"));
    EXPECT_EQ(ImageOf(*page, "OBD t_right"), QStringLiteral("obd_t_right_on"));
    EXPECT_EQ(ImageOf(*page, "OBD t_left"), QStringLiteral("obd_t_left_off"));
    EXPECT_EQ(ImageOf(*page, "OBD ECO"), QStringLiteral("obd_eco_white"));
    page->SetPosition(49); // record 0
    QApplication::processEvents();
    EXPECT_EQ(TextOf(*page, "OBD Speed"), QStringLiteral("10"));
    EXPECT_EQ(TextOf(*page, "OBD Distance"), QStringLiteral("5") + Language("obd distance unit"));
    EXPECT_EQ(ImageOf(*page, "OBD GearBox"), QStringLiteral("obd_gear_p"));
}

TEST_F(ObdPage, VariantBWritesBareNumbersAndNoBrakeImage) {
    const auto page = MakePage(1);
    ASSERT_EQ(page->GetVariant(), Variant::B);
    const std::vector<DrivingDataRecord> records = {VehicleRecord(88, 999, 'S')};
    page->SetData(records, 10);
    page->SetPosition(3);
    QApplication::processEvents();
    EXPECT_EQ(TextOf(*page, "OBD Voltage Unit"), QStringLiteral("12.5"));
    EXPECT_EQ(TextOf(*page, "OBD Accel Unit"), QStringLiteral("35"));
    EXPECT_EQ(TextOf(*page, "OBD Accel Title"), Language("obd accel"));
    EXPECT_EQ(TextOf(*page, "OBD Distance"), QStringLiteral("999") + Language("obd distance unit"));
    EXPECT_EQ(TextOf(*page, "OBD Brake Title"), Language("obd brake on"));
    EXPECT_EQ(ImageOf(*page, "OBD Brake"), QStringLiteral("obd_break_off"));
    EXPECT_EQ(ImageOf(*page, "OBD GearBox"), QStringLiteral("obd_gear_s"));
}

TEST_F(ObdPage, RecordsWithoutVehicleValuesLeaveTheValuesShown) {
    const auto page = MakePage(0);
    std::vector<DrivingDataRecord> records = {VehicleRecord(60, 1000, 'D'),
                                              VehicleRecord(70, 2000, 'R')};
    records[1].bytes[kValidityOffset] = 44;
    page->SetData(records, 2);
    page->SetPosition(0);
    QApplication::processEvents();
    page->SetPosition(1);
    EXPECT_FALSE(page->RedrawPending());
    QApplication::processEvents();
    EXPECT_EQ(TextOf(*page, "OBD Speed"), QStringLiteral("60"));
    // A new entry without vehicle data keeps them too.
    const std::vector<DrivingDataRecord> empty(5);
    page->SetData(empty, 5);
    page->SetPosition(2);
    QApplication::processEvents();
    EXPECT_EQ(TextOf(*page, "OBD Speed"), QStringLiteral("60"));
}

TEST_F(ObdPage, PositionsPastTheEndOrWithoutFramesAreSafe) {
    const auto page = MakePage(0);
    const std::vector<DrivingDataRecord> records = {VehicleRecord(1, 1, 'D'),
                                                    VehicleRecord(2, 2, 'D')};
    page->SetData(records, 0);
    page->SetPosition(5); // no frame count: nothing to map
    EXPECT_FALSE(page->RedrawPending());
    page->SetData(records, 10);
    page->SetPosition(-1);
    EXPECT_FALSE(page->RedrawPending());
    page->SetPosition(1000); // past the entry's frames: the last record
    QApplication::processEvents();
    EXPECT_EQ(TextOf(*page, "OBD Speed"), QStringLiteral("2"));
    page->ClearData();
    page->SetPosition(0);
    EXPECT_FALSE(page->RedrawPending());
}

TEST_F(ObdPage, ARecordIndexIsShownDirectly) {
    const auto page = MakePage(0);
    const std::vector<DrivingDataRecord> records = {VehicleRecord(1, 1, 'D'),
                                                    VehicleRecord(2, 2, 'N')};
    page->SetData(records, 100);
    page->SetRecord(1);
    QApplication::processEvents();
    EXPECT_EQ(ImageOf(*page, "OBD GearBox"), QStringLiteral("obd_gear_n"));
    page->SetRecord(2);
    page->SetRecord(-1);
    EXPECT_FALSE(page->RedrawPending());
}

TEST_F(ObdPage, ABurstOfPositionsIsOneRedrawOfTheLatestValues) {
    const auto page = MakePage(0);
    std::vector<DrivingDataRecord> records;
    for (int i = 0; i < 30; ++i) {
        records.push_back(VehicleRecord(i + 1, static_cast<std::uint32_t>(i), 'D'));
    }
    page->SetData(records, 30);
    for (int frame = 0; frame < 30; ++frame) {
        page->SetPosition(frame);
    }
    EXPECT_EQ(TextOf(*page, "OBD Speed"), QStringLiteral("0"));
    QApplication::processEvents();
    EXPECT_EQ(TextOf(*page, "OBD Speed"), QStringLiteral("30"));
}

TEST_F(ObdPage, DriveLogButtonSendsItsCommand) {
    const auto page = MakePage(0);
    auto* button = page->findChild<QAbstractButton*>(QStringLiteral("OBD DriveLog"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->geometry(), QRect(24, 444, 296, 36));
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_EQ(m_target.calls.size(), 1U);
    EXPECT_EQ(m_target.calls[0].message, CWndOBD::kWmUser);
    EXPECT_EQ(m_target.calls[0].code, 8536U);
}

TEST_F(ObdPage, DisplayTestButtonTogglesDemonstrationValues) {
    const auto page = MakePage(0);
    auto* button = page->findChild<QAbstractButton*>(QStringLiteral("OBD Display Test"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->geometry(), QRect(0, 0, 30, 16));
    QTest::mouseClick(button, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(TextOf(*page, "OBD Speed"), QStringLiteral("999"));
    EXPECT_EQ(TextOf(*page, "OBD Distance"), QStringLiteral("234,567km"));
    EXPECT_EQ(TextOf(*page, "OBD RPM"), QStringLiteral("2,345rpm"));
    EXPECT_EQ(page->Values().accelerator, 10);
    QTest::mouseClick(button, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(TextOf(*page, "OBD Speed"), QStringLiteral("0"));
    EXPECT_EQ(TextOf(*page, "OBD Distance"), QStringLiteral("0km"));
    EXPECT_EQ(TextOf(*page, "OBD RPM"), QStringLiteral("0rpm"));
    EXPECT_EQ(page->Values().accelerator, 0);
}

TEST_F(ObdPage, LanguageChangeRewritesTheTexts) {
    const auto page = MakePage(0);
    const std::vector<DrivingDataRecord> records = {VehicleRecord(5, 5, 'D')};
    page->SetData(records, 1);
    page->SetPosition(0);
    QApplication::processEvents();
    const QString english = TextOf(*page, "OBD Brake Title");
    ASSERT_TRUE(m_app.ChangeLanguage(0x0407)); // German
    page->ChangeLanguage();
    QApplication::processEvents();
    EXPECT_EQ(TextOf(*page, "OBD Brake Title"), Language("obd brake on"));
    EXPECT_NE(TextOf(*page, "OBD Brake Title"), english);
}

TEST_F(ObdPage, ScreenshotOfTheGeneratorsVehicleRecords) {
    const auto page = MakePage(0);
    mkcard::DriveSimulator drive(-33.85, 151.2, 5);
    std::vector<_DRIVING_RECORD> engineRecords;
    for (int i = 0; i < 300; ++i) {
        engineRecords.push_back(tachy::test::EngineRecord(
            mkcard::drivingRecord(57, drive.step(0.1), 1'700'000'000'000 + i * 100)));
    }
    viewer::driving::CDrivingDataTable table;
    table.SetEntry(engineRecords.data(), static_cast<int>(engineRecords.size()), 900);
    page->SetData(table.Records(), table.FrameCount());
    int frame = 0;
    for (; frame < 900; frame += 3) { // the first frame where the car moves with the pedal down
        page->SetPosition(frame);
        if (page->Values().speed > 20 && page->Values().accelerator > 0) {
            break;
        }
    }
    ASSERT_LT(frame, 900);
    QApplication::processEvents();
    const std::optional<ObdValues> expected =
        ReadObdValues(table.Records()[static_cast<std::size_t>(frame / 3)]);
    ASSERT_TRUE(expected.has_value());
    EXPECT_EQ(TextOf(*page, "OBD Speed"), QString::number(expected->speed));
    EXPECT_EQ(ImageOf(*page, "OBD GearBox"), QStringLiteral("obd_gear_d"));
    const QImage shot = page->grab().toImage();
    ASSERT_FALSE(shot.isNull());
    std::filesystem::create_directories(TACHY_ARTIFACT_DIR);
    EXPECT_TRUE(shot.save(QString::fromLatin1(TACHY_ARTIFACT_DIR) + QStringLiteral("/obd.png")));
}

TEST_F(ObdPage, DriveLogDialogListsTheFoundLog) {
    TempFolder card;
    std::filesystem::create_directories(card.path() / "obd");
    std::ofstream(card.path() / "obd" / "obddrive.log")
        << "h1,h2,h3,h4,h5,h6,h7\n2026-01-02,08:15,12.5,88,41,1.2,3\n";
    COBDInfo dialog(m_app.Context());
    ASSERT_TRUE(dialog.Load(card.path()));
    QTreeWidget* list = dialog.List();
    EXPECT_EQ(dialog.windowTitle(), Language("obd info title"));
    EXPECT_EQ(dialog.size(), QSize(620, 420));
    ASSERT_EQ(list->columnCount(), 7);
    EXPECT_EQ(list->headerItem()->text(0), Language("obd info col1"));
    EXPECT_EQ(list->headerItem()->text(6), Language("obd info col7"));
    EXPECT_EQ(list->columnWidth(0), 123);
    EXPECT_EQ(list->columnWidth(2), 68);
    EXPECT_EQ(list->columnWidth(6), 65);
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(3), QStringLiteral("88"));
    dialog.show();
    QApplication::processEvents();
    EXPECT_EQ(list->geometry(), QRect(10, 10, 600, 400));
}

TEST_F(ObdPage, DriveLogDialogIsCentredOverItsParentWithinTheScreen) {
    QWidget owner;
    owner.setGeometry(100, 100, 1000, 800);
    COBDInfo centred(m_app.Context(), &owner);
    EXPECT_EQ(centred.pos(), QPoint(600 - 310, 500 - 210));
    owner.setGeometry(0, 0, 200, 200);
    COBDInfo clamped(m_app.Context(), &owner);
    const QRect screen = owner.screen()->availableGeometry();
    EXPECT_EQ(clamped.pos(), QPoint(screen.left(), screen.top()));
}

TEST_F(ObdPage, DriveLogDialogWithoutALogFails) {
    TempFolder card;
    COBDInfo dialog(m_app.Context());
    EXPECT_FALSE(dialog.Load(card.path()));
    EXPECT_EQ(dialog.List()->topLevelItemCount(), 0);
}

} // namespace
