#include "viewer/trip/TripFigures.h"

#include <algorithm>
#include <cmath>

namespace viewer::trip {
namespace {

constexpr double kEarthRadiusKm = 6371.0088;
constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;

} // namespace

double TripFigures::DistanceKm(double latitude1, double longitude1, double latitude2,
                               double longitude2) {
    const double phi1 = latitude1 * kRadiansPerDegree;
    const double phi2 = latitude2 * kRadiansPerDegree;
    const double halfPhi = (phi2 - phi1) / 2;
    const double halfLambda = (longitude2 - longitude1) * kRadiansPerDegree / 2;
    const double a = std::sin(halfPhi) * std::sin(halfPhi) +
                     std::cos(phi1) * std::cos(phi2) * std::sin(halfLambda) * std::sin(halfLambda);
    return 2 * kEarthRadiusKm * std::asin(std::sqrt(std::clamp(a, 0.0, 1.0)));
}

void TripFigures::AddSamples(const std::vector<tachy::cli::DrivingSample>& samples) {
    const tachy::cli::DrivingSample* previous = nullptr;
    for (const tachy::cli::DrivingSample& sample : samples) {
        if (!sample.hasPosition) {
            continue;
        }
        ++m_fixes;
        m_topSpeedKmh = std::max(m_topSpeedKmh, sample.speedKmh);
        if (previous != nullptr) {
            m_distanceKm += DistanceKm(previous->latitude, previous->longitude, sample.latitude,
                                       sample.longitude);
        }
        previous = &sample;
    }
}

void TripFigures::AddDuration(std::int64_t milliseconds) {
    m_durationMs += std::max<std::int64_t>(milliseconds, 0);
}

void TripFigures::Merge(const TripFigures& other) {
    m_distanceKm += other.m_distanceKm;
    m_durationMs += other.m_durationMs;
    m_topSpeedKmh = std::max(m_topSpeedKmh, other.m_topSpeedKmh);
    m_fixes += other.m_fixes;
}

double TripFigures::AverageSpeedKmh() const {
    if (m_durationMs <= 0) {
        return 0;
    }
    return m_distanceKm / (static_cast<double>(m_durationMs) / 3'600'000.0);
}

} // namespace viewer::trip
