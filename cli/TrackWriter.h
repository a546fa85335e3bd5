#pragma once
// Writes driving samples as a track: GPX 1.1 (a track segment per recording; speed and
// G-forces as extensions), KML 2.2 (a line and a timed gx:Track per recording), CSV (every
// sample) or GeoJSON (a LineString per recording with the samples' times, speeds and G-forces
// as properties, then a Point per sample with a position).

#include "cli/TrackSource.h"

#include <ostream>
#include <string>

namespace tachy::cli {

class TrackWriter {
public:
    enum class Format { Gpx, Kml, Csv, GeoJson };

    // "gpx", "kml", "csv" or "geojson"; false for anything else.
    static bool ParseFormat(const std::string& text, Format& format);

    static void Write(Format format, const std::vector<FileSamples>& files, std::ostream& out);

private:
    static void WriteGpx(const std::vector<FileSamples>& files, std::ostream& out);
    static void WriteKml(const std::vector<FileSamples>& files, std::ostream& out);
    static void WriteCsv(const std::vector<FileSamples>& files, std::ostream& out);
    static void WriteGeoJson(const std::vector<FileSamples>& files, std::ostream& out);
};

} // namespace tachy::cli
