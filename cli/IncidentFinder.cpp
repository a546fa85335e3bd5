#include "cli/IncidentFinder.h"

#include <algorithm>
#include <cmath>

namespace tachy::cli {

const char* Incident::KindName(Kind kind) {
    switch (kind) {
    case Kind::HardBraking:
        return "hard-braking";
    case Kind::Impact:
        return "impact";
    case Kind::SharpTurn:
        return "sharp-turn";
    }
    return "";
}

double IncidentFinder::Measure(Incident::Kind kind, const DrivingSample& sample) const {
    if (!sample.hasGForce) {
        return 0;
    }
    switch (kind) {
    case Incident::Kind::HardBraking:
        return -sample.gx > m_thresholds.brakeG ? -sample.gx : 0;
    case Incident::Kind::Impact: {
        const double size = std::sqrt(sample.gx * sample.gx + sample.gy * sample.gy +
                                      (sample.gz - 1) * (sample.gz - 1));
        return size > m_thresholds.impactG ? size : 0;
    }
    case Incident::Kind::SharpTurn:
        return std::fabs(sample.gy) > m_thresholds.turnG ? std::fabs(sample.gy) : 0;
    }
    return 0;
}

void IncidentFinder::FindKind(Incident::Kind kind, const std::vector<FileSamples>& files,
                              std::vector<Incident>& found) const {
    Incident current;
    bool open = false;
    for (const FileSamples& file : files) {
        for (const DrivingSample& sample : file.samples) {
            const double size = Measure(kind, sample);
            if (size <= 0) {
                continue;
            }
            if (open && sample.timeMs - current.endMs > kJoinMs) {
                found.push_back(current);
                open = false;
            }
            if (!open) {
                current = Incident{kind,
                                   sample.timeMs,
                                   sample.timeMs,
                                   sample.timeMs,
                                   size,
                                   sample.gy > 0,
                                   file.file.filename().string()};
                open = true;
            }
            current.endMs = std::max(current.endMs, sample.timeMs);
            if (size > current.peakG) {
                current.peakG = size;
                current.peakMs = sample.timeMs;
                current.right = sample.gy > 0;
            }
        }
    }
    if (open) {
        found.push_back(current);
    }
}

std::vector<Incident> IncidentFinder::Find(const std::vector<FileSamples>& files) const {
    std::vector<Incident> found;
    for (const auto kind :
         {Incident::Kind::HardBraking, Incident::Kind::Impact, Incident::Kind::SharpTurn}) {
        FindKind(kind, files, found);
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Incident& a, const Incident& b) { return a.startMs < b.startMs; });
    return found;
}

} // namespace tachy::cli
