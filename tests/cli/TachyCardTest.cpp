// list, info, track and events on cards of mkcard's simulated drive, judged by readers we did
// not write: python3's json and csv, xmllint against the GPX 1.1 schema, gpsbabel.

#include "tests/cli/ToolRun.h"
#include "tests/support/TempFolder.h"

#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using tachy::test::kCardStartMs;
using tachy::test::RunShell;
using tachy::test::RunTachy;
using tachy::test::TempFolder;

namespace {

const std::string kSchema = std::string(TACHY_SOURCE_DIR) + "/tests/cli/gpx-1.1.xsd";

// mkcard's route (seed 1 starts it 3 s into its two-minute lap): the hard brake begins 40 s into
// the lap, the right turn at the crossing at 56 s, the bump at 70 s; the long left bend at 80 s
// pulls about 0.12 g sideways.
constexpr std::int64_t kBrakeMs = kCardStartMs + 37000;
constexpr std::int64_t kTurnMs = kCardStartMs + 53000;
constexpr std::int64_t kBumpMs = kCardStartMs + 67000;
constexpr std::int64_t kLeftBendMs = kCardStartMs + 77000;
// Each recording starts its drive where the last ended, one frame later in time.
constexpr std::int64_t kSlackMs = 400;

class TachyCard : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_folder = new TempFolder;
        tachy::test::MakeDriveCard(s_folder->path() / "gps", 72);
        tachy::test::MakeDriveCard(s_folder->path() / "nmea", 400);
    }
    static void TearDownTestSuite() {
        delete s_folder;
        s_folder = nullptr;
    }

    static std::string Card(const char* name = "gps") { return (s_folder->path() / name).string(); }

    // Runs python3 on a file: `program` reads it as `path` and prints its findings.
    std::string Python(const std::string& program, const std::string& file) {
        const std::filesystem::path script = m_work.path() / "judge.py";
        std::ofstream(script) << "import sys, json, csv\npath = sys.argv[1]\n" << program << "\n";
        const auto run = RunShell("python3 '" + script.string() + "' '" + file + "'");
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return run.out;
    }

    std::string Write(const std::string& name, const std::string& text) {
        const auto path = m_work.path() / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    static TempFolder* s_folder;
    TempFolder m_work;
};

TempFolder* TachyCard::s_folder = nullptr;

// gpsbabel's CSV of a track file, its lines ended by "\n" (it writes "\r\n").
tachy::test::ToolRun Gpsbabel(const std::string& format, const std::string& file) {
    auto run = RunShell("gpsbabel -t -i " + format + " -f '" + file + "' -o unicsv,utc=0 -F -");
    std::erase(run.out, '\r');
    return run;
}

std::uintmax_t SizeOf(const std::string& card, const std::string& recording) {
    return std::filesystem::file_size(card + "/" + recording + "_1.avi") +
           std::filesystem::file_size(card + "/" + recording + "_2.avi");
}

} // namespace

TEST_F(TachyCard, ListShowsEachRecordingPerModeWithItsFigures) {
    const auto run = RunTachy({"list", Card()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string size = std::to_string(SizeOf(Card(), "normal/TCY_0001_20240229_130509_N"));
    const std::string expected = "normal\n  2024-02-29 13:05:09      30.0 s  2 ch  H264  " +
                                 std::string(12 - size.size(), ' ') + size +
                                 " bytes  TCY_0001_20240229_130509_N_1.avi\n";
    EXPECT_EQ(run.out.substr(0, expected.size()), expected);
    EXPECT_NE(run.out.find("event\n  2024-02-29 13:05:39      30.0 s  2 ch  H264"),
              std::string::npos)
        << run.out;
    std::istringstream lines(run.out);
    std::string line;
    int rows = 0;
    while (std::getline(lines, line)) {
        rows += line.rfind("  2024-", 0) == 0 ? 1 : 0;
    }
    EXPECT_EQ(rows, 3);
}

TEST_F(TachyCard, ListJsonReadsBackWithPython) {
    const auto run = RunTachy({"list", Card(), "--json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string summary = Python("d = json.load(open(path))\n"
                                       "for r in d['recordings']:\n"
                                       "    print(r['mode'], r['start'], r['lengthMs'], "
                                       "r['channels'], r['codec'], r['size'], len(r['files']))",
                                       Write("list.json", run.out));
    EXPECT_EQ(summary, "normal 2024-02-29T13:05:09.000Z 30000 2 H264 " +
                           std::to_string(SizeOf(Card(), "normal/TCY_0001_20240229_130509_N")) +
                           " 2\n" + "event 2024-02-29T13:05:39.000Z 30000 2 H264 " +
                           std::to_string(SizeOf(Card(), "event/TCY_0002_20240229_130539_E")) +
                           " 2\n" + "normal 2024-02-29T13:06:09.000Z 30000 2 H264 " +
                           std::to_string(SizeOf(Card(), "normal/TCY_0003_20240229_130609_N")) +
                           " 2\n");
}

TEST_F(TachyCard, InfoDescribesStreamsFiguresAndDrivingData) {
    const std::string file = Card() + "/event/TCY_0002_20240229_130539_E_1.avi";
    const auto run = RunTachy({"info", file});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("start: 2024-02-29 13:05:39 UTC\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("mode: event\n"), std::string::npos);
    EXPECT_NE(run.out.find("duration: 30.000 s\n"), std::string::npos);
    EXPECT_NE(run.out.find("video H264 (X264): 64x48, 10.000 frames/s, 300 frames, 30 key frames"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("audio mulaw: 8000 Hz, 8 bit, 1 channel(s)"), std::string::npos);
    EXPECT_NE(run.out.find("driving data: gps 300\n"), std::string::npos);
    EXPECT_NE(run.out.find("positions: 300\n"), std::string::npos);

    const auto json =
        RunTachy({"info", Card("nmea") + "/event/TCY_0002_20240229_130539_E_1.avi", "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    EXPECT_EQ(Python("d = json.load(open(path))\n"
                     "print(d['mode'], d['durationMs'], [s['type'] for s in d['streams']], "
                     "d['drivingData'], "
                     "d['positions'], d['streams'][0]['frames'], d['streams'][0]['width'])",
                     Write("info.json", json.out)),
              "event 30000 ['video', 'audio', 'driving data'] {'nmea': 300} 300 300 64\n");
}

TEST_F(TachyCard, GpxIsValidAndGpsbabelReadsEveryPointBack) {
    const std::string gpx = (m_work.path() / "card.gpx").string();
    const auto run = RunTachy({"track", Card(), "--format", "gpx", "-o", gpx});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "");
    const auto valid = RunShell("xmllint --noout --schema '" + kSchema + "' '" + gpx + "'");
    EXPECT_EQ(valid.exitCode, 0) << valid.err;
    const auto babel = Gpsbabel("gpx", gpx);
    ASSERT_EQ(babel.exitCode, 0) << babel.err;
    EXPECT_EQ(
        babel.out.rfind(
            "No,Latitude,Longitude,Date,Time\n1,48.137199,11.575600,2024/02/29,13:05:09\n", 0),
        0U)
        << babel.out.substr(0, 200);
    EXPECT_NE(babel.out.find("\n900,"), std::string::npos);
    EXPECT_EQ(babel.out.find("\n901,"), std::string::npos);
    EXPECT_NE(babel.out.find(",2024/02/29,13:06:38.900\n"), std::string::npos);
}

TEST_F(TachyCard, SchemaRefusesAPointOffTheGlobe) {
    // The vendored schema does judge: the same export with one latitude out of range fails.
    const auto run =
        RunTachy({"track", Card() + "/event/TCY_0002_20240229_130539_E_1.avi", "--format", "gpx"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::string broken = run.out;
    const std::size_t at = broken.find("lat=\"48.");
    ASSERT_NE(at, std::string::npos);
    broken.replace(at, 8, "lat=\"98.");
    const auto valid = RunShell("xmllint --noout --schema '" + kSchema + "' '" +
                                Write("broken.gpx", broken) + "'");
    EXPECT_NE(valid.exitCode, 0);
}

TEST_F(TachyCard, KmlReadsBackWithGpsbabel) {
    const std::string kml = (m_work.path() / "card.kml").string();
    ASSERT_EQ(RunTachy({"track", Card("nmea"), "--format", "kml", "--output", kml}).exitCode, 0);
    EXPECT_EQ(RunShell("xmllint --noout '" + kml + "'").exitCode, 0);
    const auto babel = Gpsbabel("kml", kml);
    ASSERT_EQ(babel.exitCode, 0) << babel.err;
    EXPECT_EQ(babel.out.rfind("No,Latitude,Longitude,Altitude,Date,Time\n1,48.137199,11.575600,0.0,"
                              "2024/02/29,13:05:09\n",
                              0),
              0U)
        << babel.out.substr(0, 200);
    EXPECT_NE(babel.out.find(",2024/02/29,13:05:09\n"), std::string::npos);
    EXPECT_NE(babel.out.find("\n900,"), std::string::npos);
    EXPECT_EQ(babel.out.find("\n901,"), std::string::npos);
}

TEST_F(TachyCard, GeoJsonAndCsvParseWithPython) {
    const auto geo = RunTachy({"track", Card(), "--format", "geojson"});
    ASSERT_EQ(geo.exitCode, 0) << geo.err;
    EXPECT_EQ(
        Python("d = json.load(open(path))\n"
               "lines = [f for f in d['features'] if f['geometry']['type'] == 'LineString']\n"
               "points = [f for f in d['features'] if f['geometry']['type'] == 'Point']\n"
               "times = [p['properties']['time'] for p in points]\n"
               "print(d['type'], len(lines), [len(l['geometry']['coordinates']) for l in lines], "
               "len(points),\n"
               "      times == sorted(times), times[0], points[0]['geometry']['coordinates'],\n"
               "      max(p['properties']['speedKmh'] for p in points))",
               Write("card.geojson", geo.out)),
        "FeatureCollection 3 [300, 300, 300] 900 True 2024-02-29T13:05:09.000Z [11.5756002, "
        "48.1371989] 60\n");

    const auto csvRun = RunTachy({"track", Card(), "--format", "csv"});
    ASSERT_EQ(csvRun.exitCode, 0) << csvRun.err;
    EXPECT_EQ(Python("rows = list(csv.DictReader(open(path)))\n"
                     "print(len(rows), rows[0]['time'], rows[0]['gz'], rows[-1]['time'],\n"
                     "      min(float(r['gx']) for r in rows), rows[-1]['file'])",
                     Write("card.csv", csvRun.out)),
              "900 2024-02-29T13:05:09.000Z 1.000 2024-02-29T13:06:38.900Z -0.567 "
              "TCY_0003_20240229_130609_N_1.avi\n");
}

TEST_F(TachyCard, BothRecordKindsGiveTheSameRoute) {
    const auto gps = RunTachy({"track", Card("gps"), "--format", "csv"});
    const auto nmea = RunTachy({"track", Card("nmea"), "--format", "csv"});
    ASSERT_EQ(gps.exitCode, 0);
    ASSERT_EQ(nmea.exitCode, 0);
    const std::string program =
        "rows = list(csv.DictReader(open(path)))\n"
        "print(len(rows), ' '.join('%.4f,%.4f' % (float(r['latitude']), float(r['longitude']))"
        " for r in rows[::150]))";
    EXPECT_EQ(Python(program, Write("gps.csv", gps.out)),
              Python(program, Write("nmea.csv", nmea.out)));
}

TEST_F(TachyCard, EventsFindTheDrivesBrakeTurnAndBumpWhereMkcardPutThem) {
    for (const char* card : {"gps", "nmea"}) {
        const auto run = RunTachy({"events", Card(card), "--json"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const std::string found = Python(
            "d = json.load(open(path))\n"
            "for i in d['incidents']:\n"
            "    print(i['kind'], i['startMs'], round(i['peakG'], 2), i.get('direction', '-'), "
            "i['endMs'] - i['startMs'], i['file'])",
            Write("events.json", run.out));
        std::istringstream lines(found);
        std::string kind;
        std::int64_t start = 0;
        double peak = 0;
        std::string direction;
        std::int64_t length = 0;
        std::string file;
        ASSERT_TRUE(lines >> kind >> start >> peak >> direction >> length >> file) << found;
        EXPECT_EQ(kind, "hard-braking");
        EXPECT_NEAR(start, kBrakeMs, kSlackMs);
        EXPECT_NEAR(peak, 0.57, 0.011);
        EXPECT_NEAR(length, 2400, 200);
        EXPECT_EQ(file, "TCY_0002_20240229_130539_E_1.avi");
        ASSERT_TRUE(lines >> kind >> start >> peak >> direction >> length >> file) << found;
        EXPECT_EQ(kind, "sharp-turn");
        EXPECT_EQ(direction, "right");
        EXPECT_NEAR(start, kTurnMs, kSlackMs);
        EXPECT_NEAR(peak, 0.22, 0.011);
        ASSERT_TRUE(lines >> kind >> start >> peak >> direction >> length >> file) << found;
        EXPECT_EQ(kind, "impact");
        EXPECT_NEAR(start, kBumpMs, kSlackMs);
        EXPECT_EQ(file, "TCY_0003_20240229_130609_N_1.avi");
        EXPECT_FALSE(lines >> kind) << found;
    }
}

TEST_F(TachyCard, EventThresholdsAreOptions) {
    const auto strict = RunTachy({"events", Card(), "--brake", "0.6", "--impact", "0.9"});
    ASSERT_EQ(strict.exitCode, 0) << strict.err;
    EXPECT_EQ(strict.out.find("hard-braking"), std::string::npos) << strict.out;
    EXPECT_EQ(strict.out.find("impact"), std::string::npos);
    EXPECT_NE(strict.out.find("sharp-turn (right)"), std::string::npos);

    const auto gentle = RunTachy({"events", Card(), "--turn", "0.1", "--json"});
    ASSERT_EQ(gentle.exitCode, 0) << gentle.err;
    EXPECT_EQ(Python("d = json.load(open(path))\n"
                     "left = [i for i in d['incidents'] if i.get('direction') == 'left']\n"
                     "print(d['thresholds']['turn'], len(left), abs(left[0]['startMs'] - " +
                         std::to_string(kLeftBendMs) + ") < " + std::to_string(kSlackMs) + ")",
                     Write("gentle.json", gentle.out)),
              "0.1 1 True\n");
}

TEST_F(TachyCard, EventsOfOneFile) {
    const auto run = RunTachy({"events", Card() + "/event/TCY_0002_20240229_130539_E_1.avi"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.rfind("2024-02-29 13:05:46.", 0), 0U) << run.out;
    EXPECT_NE(run.out.find("hard-braking"), std::string::npos);
    EXPECT_NE(run.out.find("\n2024-02-29 13:06:02."), std::string::npos);
    EXPECT_EQ(run.out.find("impact"), std::string::npos);
}

TEST(TachyDamagedRecords, PositionsOffTheGlobeAndForcesThatAreNoNumbersAreLeftOut) {
    // mkcard's first four records with damaged bytes: the first record's latitude is NaN, the
    // second's longitude 1e30, the third's sideways force infinite, as the fuzz target makes.
    const std::string file =
        std::string(TACHY_SOURCE_DIR) + "/tests/fuzz/corpus/track/damaged-position-and-g-force.avi";
    const auto csv = RunTachy({"track", file, "--format", "csv"});
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    EXPECT_EQ(
        csv.out.substr(csv.out.find('\n') + 1),
        "2024-02-29T13:05:09.000Z,damaged-position-and-g-force.avi,,,,0.000,0.000,1.000\n"
        "2024-02-29T13:05:09.250Z,damaged-position-and-g-force.avi,,,,0.000,0.000,1.000\n"
        "2024-02-29T13:05:09.500Z,damaged-position-and-g-force.avi,48.1371989,11.5756002,0,,,\n"
        "2024-02-29T13:05:09.750Z,damaged-position-and-g-force.avi,48.1371989,11.5756002,0,"
        "0.000,0.000,1.000\n");
    const TempFolder work;
    const std::string gpx = (work.path() / "damaged.gpx").string();
    ASSERT_EQ(RunTachy({"track", file, "--format", "gpx", "-o", gpx}).exitCode, 0);
    const auto valid = RunShell("xmllint --noout --schema '" + kSchema + "' '" + gpx + "'");
    EXPECT_EQ(valid.exitCode, 0) << valid.err;
}
