#include "viewer/list/ListFilter.h"

namespace tachy::viewer {

namespace {

std::size_t at(int mode) {
    return static_cast<std::size_t>(mode);
}

} // namespace

ListFilter::ListFilter(const std::array<bool, kModeCount>& available) : m_available(available) {
    Reset();
}

void ListFilter::Reset() {
    for (int mode = 0; mode < kModeCount; ++mode) {
        m_modeOn[at(mode)] = true;
        if (m_available[at(mode)]) {
            m_buttonChecked[at(mode)] = true;
        }
    }
    m_allChecked = true;
}

void ListFilter::ApplyAll(bool checked) {
    m_allChecked = checked;
    for (int mode = 0; mode < kModeCount; ++mode) {
        if (m_available[at(mode)]) {
            m_buttonChecked[at(mode)] = checked;
            m_modeOn[at(mode)] = checked;
        }
    }
}

void ListFilter::ApplyMode(int mode, bool checked) {
    if (!valid(mode) || !m_available[at(mode)]) {
        return;
    }
    m_buttonChecked[at(mode)] = checked;
    for (int other = 0; other < kModeCount; ++other) {
        if (m_available[at(other)]) {
            m_modeOn[at(other)] = m_buttonChecked[at(other)];
        }
    }
    updateAll();
}

void ListFilter::updateAll() {
    bool every = true;
    for (int mode = 0; mode < kModeCount; ++mode) {
        if (m_available[at(mode)] && !m_modeOn[at(mode)]) {
            every = false;
        }
    }
    m_allChecked = every;
}

bool ListFilter::IsAvailable(int mode) const {
    return valid(mode) && m_available[at(mode)];
}

bool ListFilter::IsModeOn(int mode) const {
    return valid(mode) && m_modeOn[at(mode)];
}

bool ListFilter::IsButtonChecked(int mode) const {
    return valid(mode) && m_buttonChecked[at(mode)];
}

} // namespace tachy::viewer
