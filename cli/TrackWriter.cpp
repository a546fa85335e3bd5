#include "cli/TrackWriter.h"

#include "cli/TextEscape.h"
#include "cli/TimeText.h"

#include <cstdio>

namespace tachy::cli {
namespace {

std::string Number(const char* format, double value) {
    char text[48];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Degrees(double value) {
    return Number("%.7f", value);
}

std::string G(double value) {
    return Number("%.3f", value);
}

bool HasPositions(const FileSamples& file) {
    for (const DrivingSample& sample : file.samples) {
        if (sample.hasPosition) {
            return true;
        }
    }
    return false;
}

std::string Name(const FileSamples& file) {
    return file.file.filename().string();
}

} // namespace

bool TrackWriter::ParseFormat(const std::string& text, Format& format) {
    if (text == "gpx") {
        format = Format::Gpx;
    } else if (text == "kml") {
        format = Format::Kml;
    } else if (text == "csv") {
        format = Format::Csv;
    } else if (text == "geojson") {
        format = Format::GeoJson;
    } else {
        return false;
    }
    return true;
}

void TrackWriter::Write(Format format, const std::vector<FileSamples>& files, std::ostream& out) {
    switch (format) {
    case Format::Gpx:
        WriteGpx(files, out);
        break;
    case Format::Kml:
        WriteKml(files, out);
        break;
    case Format::Csv:
        WriteCsv(files, out);
        break;
    case Format::GeoJson:
        WriteGeoJson(files, out);
        break;
    }
}

void TrackWriter::WriteGpx(const std::vector<FileSamples>& files, std::ostream& out) {
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<gpx version=\"1.1\" creator=\"tachy\" xmlns=\"http://www.topografix.com/GPX/1/1\"\n"
           "     xmlns:tachy=\"https://tachy.example.org/xmlschemas/track/1\">\n";
    for (const FileSamples& file : files) {
        if (!HasPositions(file)) {
            continue;
        }
        out << "  <trk>\n    <name>" << XmlText(Name(file)) << "</name>\n    <trkseg>\n";
        for (const DrivingSample& s : file.samples) {
            if (!s.hasPosition) {
                continue;
            }
            out << "      <trkpt lat=\"" << Degrees(s.latitude) << "\" lon=\""
                << Degrees(s.longitude) << "\"><time>" << IsoTimeText(s.timeMs)
                << "</time><extensions><tachy:speedKmh>" << s.speedKmh
                << "</tachy:speedKmh><tachy:gx>" << G(s.gx) << "</tachy:gx><tachy:gy>" << G(s.gy)
                << "</tachy:gy><tachy:gz>" << G(s.gz) << "</tachy:gz></extensions></trkpt>\n";
        }
        out << "    </trkseg>\n  </trk>\n";
    }
    out << "</gpx>\n";
}

void TrackWriter::WriteKml(const std::vector<FileSamples>& files, std::ostream& out) {
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<kml xmlns=\"http://www.opengis.net/kml/2.2\" "
           "xmlns:gx=\"http://www.google.com/kml/ext/2.2\">\n"
           "<Document>\n  <name>tachy track</name>\n";
    for (const FileSamples& file : files) {
        if (!HasPositions(file)) {
            continue;
        }
        out << "  <Placemark>\n    <name>" << XmlText(Name(file)) << "</name>\n    <gx:Track>\n";
        for (const DrivingSample& s : file.samples) {
            if (s.hasPosition) {
                out << "      <when>" << IsoTimeText(s.timeMs) << "</when>\n";
            }
        }
        for (const DrivingSample& s : file.samples) {
            if (s.hasPosition) {
                out << "      <gx:coord>" << Degrees(s.longitude) << ' ' << Degrees(s.latitude)
                    << " 0</gx:coord>\n";
            }
        }
        out << "    </gx:Track>\n  </Placemark>\n";
    }
    out << "</Document>\n</kml>\n";
}

void TrackWriter::WriteCsv(const std::vector<FileSamples>& files, std::ostream& out) {
    out << "time,file,latitude,longitude,speed_kmh,gx,gy,gz\n";
    for (const FileSamples& file : files) {
        for (const DrivingSample& s : file.samples) {
            out << IsoTimeText(s.timeMs) << ',' << Name(file) << ',';
            if (s.hasPosition) {
                out << Degrees(s.latitude) << ',' << Degrees(s.longitude) << ',' << s.speedKmh;
            } else {
                out << ",,";
            }
            if (s.hasGForce) {
                out << ',' << G(s.gx) << ',' << G(s.gy) << ',' << G(s.gz) << '\n';
            } else {
                out << ",,,\n";
            }
        }
    }
}

void TrackWriter::WriteGeoJson(const std::vector<FileSamples>& files, std::ostream& out) {
    out << "{\"type\": \"FeatureCollection\", \"features\": [";
    bool first = true;
    for (const FileSamples& file : files) {
        if (!HasPositions(file)) {
            continue;
        }
        out << (first ? "\n" : ",\n")
            << "{\"type\": \"Feature\", \"properties\": {\"file\": " << JsonString(Name(file))
            << "}, \"geometry\": {\"type\": \"LineString\", \"coordinates\": [";
        first = false;
        bool firstPoint = true;
        for (const DrivingSample& s : file.samples) {
            if (s.hasPosition) {
                out << (firstPoint ? "" : ", ") << '[' << Degrees(s.longitude) << ", "
                    << Degrees(s.latitude) << ']';
                firstPoint = false;
            }
        }
        out << "]}}";
        for (const DrivingSample& s : file.samples) {
            if (!s.hasPosition) {
                continue;
            }
            out << ",\n{\"type\": \"Feature\", \"properties\": {\"time\": \""
                << IsoTimeText(s.timeMs) << "\", \"speedKmh\": " << s.speedKmh
                << ", \"gx\": " << G(s.gx) << ", \"gy\": " << G(s.gy) << ", \"gz\": " << G(s.gz)
                << "}, \"geometry\": {\"type\": \"Point\", \"coordinates\": ["
                << Degrees(s.longitude) << ", " << Degrees(s.latitude) << "]}}";
        }
    }
    out << "\n]}\n";
}

} // namespace tachy::cli
