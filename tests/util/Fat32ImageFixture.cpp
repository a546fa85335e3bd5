#include "tests/util/Fat32ImageFixture.h"

#include "tests/support/Command.h"

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace tachy::test {

std::filesystem::path makeSparseImage(const TempFolder& folder, const std::string& name,
                                      std::uint64_t bytes) {
    const std::filesystem::path path = folder.write(name, "");
    std::filesystem::resize_file(path, bytes);
    return path;
}

std::uint64_t allocatedBytes(const std::filesystem::path& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? static_cast<std::uint64_t>(status.st_blocks) * 512
                                              : 0;
}

std::string readBytes(const std::filesystem::path& path, std::uint64_t offset, std::size_t bytes) {
    std::ifstream in(path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset));
    std::string data(bytes, '\0');
    in.read(data.data(), static_cast<std::streamsize>(bytes));
    data.resize(static_cast<std::size_t>(in.gcount()));
    return data;
}

ToolResult runTool(const std::string& command) {
    ToolResult result;
    result.output = runCommand("MTOOLS_SKIP_CHECK=1 " + command + " 2>&1", &result.ok);
    return result;
}

std::string quoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

} // namespace tachy::test
