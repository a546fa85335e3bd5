#include "util/avi/BoundedFile.h"

#include "tests/support/TempFolder.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

using tachy::test::TempFolder;
using util::BoundedFile;

namespace {

// A file whose every byte is different from its neighbours', so that a read from the wrong
// place shows.
std::string patternBytes(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 131 + i / 251) & 0xFF);
    }
    return bytes;
}

class BoundedFileReads : public testing::Test {
protected:
    void SetUp() override {
        m_bytes = patternBytes(3 * BoundedFile::kLargestWindow + 123);
        ASSERT_TRUE(m_file.open(m_folder.write("file.bin", m_bytes)));
    }
    void expectRead(std::uint64_t offset, std::size_t length) {
        std::vector<char> got(length);
        ASSERT_TRUE(m_file.readAt(offset, got.data(), length)) << offset << " " << length;
        EXPECT_EQ(std::string(got.begin(), got.end()), m_bytes.substr(offset, length))
            << offset << " " << length;
    }

    TempFolder m_folder;
    std::string m_bytes;
    BoundedFile m_file;
};

TEST_F(BoundedFileReads, ForwardReadsOfEverySizeReturnTheFileBytes) {
    std::uint64_t offset = 0;
    for (std::size_t length = 1; offset + length <= m_bytes.size(); length = length * 3 % 9001 + 1) {
        expectRead(offset, length);
        offset += length + length / 2;  // reads move forward and skip bytes between them
    }
}

TEST_F(BoundedFileReads, JumpsBackAndForthReturnTheFileBytes) {
    std::mt19937 random(17);
    for (int i = 0; i < 2000; ++i) {
        const std::size_t length = random() % (BoundedFile::kLargestWindow + 1000);
        const std::uint64_t offset = random() % (m_bytes.size() - length + 1);
        expectRead(offset, length);
    }
}

TEST_F(BoundedFileReads, ReadsUpToTheEndSucceedAndPastItFail) {
    const std::uint64_t size = m_bytes.size();
    expectRead(size - 4, 4);
    expectRead(size, 0);
    std::uint32_t value = 0;
    EXPECT_FALSE(m_file.readLE32(size - 3, value));
    EXPECT_FALSE(m_file.readLE32(size, value));
    std::vector<char> whole(m_bytes.size() + 1);
    EXPECT_FALSE(m_file.readAt(0, whole.data(), whole.size()));
    expectRead(0, m_bytes.size());
}

TEST_F(BoundedFileReads, ReopeningAnotherFileForgetsTheWindowOfTheFirst) {
    expectRead(0, 64);
    m_bytes = std::string(m_bytes.rbegin(), m_bytes.rend());
    ASSERT_TRUE(m_file.open(m_folder.write("reversed.bin", m_bytes)));
    expectRead(0, 64);
    expectRead(100, 4000);
}

} // namespace
