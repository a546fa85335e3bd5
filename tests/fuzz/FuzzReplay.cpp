// Drives a libFuzzer entry point without libFuzzer: every file of the given folders, then a
// fixed number of deterministic mutations of them (bytes flipped, cut, repeated and spliced).
// Any crash, sanitizer report or hang fails the CTest test that runs it.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

constexpr int kMutationsPerSeed = 400;

std::vector<std::string> readSeeds(int argc, char** argv) {
    std::vector<std::string> seeds;
    for (int i = 1; i < argc; ++i) {
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[i])) {
            if (entry.is_regular_file()) {
                files.push_back(entry.path());
            }
        }
        std::sort(files.begin(), files.end());
        for (const auto& file : files) {
            std::ifstream in(file, std::ios::binary);
            std::ostringstream content;
            content << in.rdbuf();
            seeds.push_back(content.str());
        }
    }
    return seeds;
}

std::string mutate(const std::string& seed, const std::vector<std::string>& seeds,
                   std::mt19937& random) {
    std::string data = seed;
    const int steps = 1 + static_cast<int>(random() % 4);
    for (int step = 0; step < steps; ++step) {
        const std::size_t at = data.empty() ? 0 : random() % data.size();
        switch (random() % 5) {
        case 0:
            if (!data.empty()) {
                data[at] = static_cast<char>(random());
            }
            break;
        case 1:
            data.resize(at);
            break;
        case 2:
            data.insert(at, data.substr(at, random() % 64));
            break;
        case 3:
            data.insert(at, std::string(1 + random() % 8, static_cast<char>("=[];\r\n%\xFF\xFE"[random() % 10])));
            break;
        default: {
            const std::string& other = seeds[random() % seeds.size()];
            data.insert(at, other.substr(0, random() % (other.size() + 1)));
            break;
        }
        }
    }
    return data;
}

void run(const std::string& data) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> seeds = readSeeds(argc, argv);
    if (seeds.empty()) {
        std::fprintf(stderr, "no seed files found\n");
        return 1;
    }
    std::mt19937 random(20261208);
    run({});
    for (const std::string& seed : seeds) {
        run(seed);
        for (int i = 0; i < kMutationsPerSeed; ++i) {
            run(mutate(seed, seeds, random));
        }
    }
    std::printf("replayed %zu seeds and %zu mutations\n", seeds.size(),
                seeds.size() * kMutationsPerSeed);
    return 0;
}
