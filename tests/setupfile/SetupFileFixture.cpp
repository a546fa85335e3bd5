#include "tests/setupfile/SetupFileFixture.h"

#include "tests/support/Command.h"

#include <fstream>

namespace tachy::test {

setupfile::SetupIdentity TachyIdentity(int codePage) {
    return {"TACHY-100", "TACHY", "1.0", codePage};
}

setupfile::SetupBuffer PatternBuffer(unsigned seed) {
    setupfile::SetupBuffer buffer{};
    unsigned state = seed * 2654435761U + 1U;
    for (auto& byte : buffer) {
        state = state * 1103515245U + 12345U;
        byte = static_cast<std::uint8_t>(((state >> 16) % 255U) + 1U);
    }
    return buffer;
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ToString(const setupfile::SetupBuffer& buffer) {
    return std::string(reinterpret_cast<const char*>(buffer.data()), buffer.size());
}

std::string PythonSizeAndSum(const std::filesystem::path& path) {
    return runCommand("python3 -S -c \"import sys; d=open(sys.argv[1],'rb').read(); "
                      "print(len(d), sum(d[64:]) % 256, end='')\" '" +
                      path.string() + "'");
}

std::string PythonBytes(const std::filesystem::path& path, const std::string& offsetsCsv) {
    return runCommand("python3 -S -c \"import sys; d=open(sys.argv[1],'rb').read(); "
                      "print(' '.join('%d=%d' % (o, d[o]) for o in [" +
                      offsetsCsv + "]), end='')\" '" + path.string() + "'");
}

bool CmpIdentical(const std::filesystem::path& a, const std::filesystem::path& b) {
    bool same = false;
    runCommand("cmp -s '" + a.string() + "' '" + b.string() + "'", &same);
    return same;
}

std::map<int, int> NonZeroSettings(const setupfile::SetupBuffer& buffer) {
    std::map<int, int> values;
    for (int offset = 160; offset < 1312; ++offset) {
        if (buffer[static_cast<std::size_t>(offset)] != 0) {
            values[offset] = buffer[static_cast<std::size_t>(offset)];
        }
    }
    return values;
}

} // namespace tachy::test
