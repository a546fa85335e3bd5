#include "cli/StagedOutput.h"

#include <system_error>

namespace tachy::cli {

StagedOutput::StagedOutput(std::filesystem::path target)
    : m_target(std::move(target)), m_temporary(m_target.string() + ".part") {}

StagedOutput::~StagedOutput() {
    Discard();
}

bool StagedOutput::Commit() {
    std::error_code error;
    std::filesystem::rename(m_temporary, m_target, error);
    if (error) {
        Discard();
        return false;
    }
    m_committed = true;
    return true;
}

void StagedOutput::Discard() {
    if (!m_committed) {
        std::error_code ignored;
        std::filesystem::remove(m_temporary, ignored);
    }
}

} // namespace tachy::cli
