// Feeds arbitrary bytes to the repair reader. The repair writes, so it works on a copy in a
// temporary file: open, rebuild or check the index, close (which writes lengths and the index),
// then open the result once more. Nothing may crash, hang or read out of bounds, and the bytes
// the rebuild walk could not account for must be in the result exactly as they were.

#include "engine/RepairAviReader.h"

#include "tests/fuzz/FuzzScratch.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

std::string scratchPath() {
    static const std::string path = tachy::fuzz::scratchFile("repair.avi");
    return path;
}

std::string readBack(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = scratchPath();
    const std::string original(reinterpret_cast<const char*>(data), size);
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(original.data(), static_cast<std::streamsize>(original.size()));
    }
    std::uint64_t unaccounted = 0;
    {
        RepairAviReader reader;
        if (reader.Open(path) == RepairAviReader::kNoError) {
            unaccounted = reader.Complete() ? 0 : reader.UnaccountedBytes();
            reader.Close();
        }
    }
    if (unaccounted > 0 && unaccounted <= original.size()) {
        const std::string result = readBack(path);
        const std::size_t from = original.size() - static_cast<std::size_t>(unaccounted);
        if (result.size() < original.size() || result.compare(from, unaccounted, original, from, unaccounted) != 0) {
            std::abort();  // the repair changed bytes it could not account for
        }
    }
    RepairAviReader again;
    again.Open(path);
    ::unlink(path.c_str());
    return 0;
}
