#include "viewer/playbar/PlaySpeed.h"

namespace viewer::playbar {

double PlaySpeed::FactorOfStep(int step) {
    switch (step) {
    case 1:
        return 0.5;
    case 3:
        return 1.5;
    case 4:
        return 2.0;
    default:
        return 1.0;
    }
}

bool PlaySpeed::Faster() {
    return Select(m_step + 1);
}

bool PlaySpeed::Slower() {
    return Select(m_step - 1);
}

bool PlaySpeed::Select(int step) {
    if (step < kSlowestStep || step > kFastestStep || step == m_step) {
        return false;
    }
    m_step = step;
    return true;
}

} // namespace viewer::playbar
