#pragma once
// The file a command writes, made beside its target under a temporary name (TARGET.part) and
// renamed over the target only when it is complete: a failed or interrupted run leaves no half
// file behind and an existing target as it was.

#include <filesystem>

namespace tachy::cli {

class StagedOutput {
public:
    explicit StagedOutput(std::filesystem::path target);
    // Removes the temporary file unless it was committed.
    ~StagedOutput();
    StagedOutput(const StagedOutput&) = delete;
    StagedOutput& operator=(const StagedOutput&) = delete;

    const std::filesystem::path& Target() const { return m_target; }
    const std::filesystem::path& Temporary() const { return m_temporary; }
    // Renames the temporary file over the target; false (the temporary file removed) when it
    // cannot.
    bool Commit();
    void Discard();

private:
    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    bool m_committed = false;
};

} // namespace tachy::cli
