// SPDX-License-Identifier: MIT
// Randomized but repeatable lines: well-formed records store exactly their data, and no line,
// however mangled, writes anything when it is refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "intel_hex_records.h"
#include "motorola_records.h"
#include "record_writer.h"

namespace karvel::firmware {
namespace {

using testing::IntelHexRecord;
using testing::MotorolaRecord;

bool SameImage(const FirmwareImage& a, const FirmwareImage& b) {
    return std::equal(a.bytes().begin(), a.bytes().end(), b.bytes().begin());
}

class RandomLines : public ::testing::Test {
protected:
    std::mt19937 m_random{20240601};

    uint32_t Below(uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(m_random); }
    std::vector<uint8_t> Data(std::size_t n) {
        std::vector<uint8_t> data(n);
        for (auto& b : data) b = static_cast<uint8_t>(m_random());
        return data;
    }
    // A record that fits the image and a 250-character line, and where its data lands.
    std::string WellFormed(FirmwareImage& model, HexLoadState& hex, bool motorola) {
        if (motorola) {
            const int addressBytes = Below(2) == 0 ? 2 : 3;
            const std::vector<uint8_t> data = Data(Below(addressBytes == 2 ? 121 : 120));
            const uint32_t limit = addressBytes == 2 ? 0x10000 : kFirmwareImageSize;
            const uint32_t address = Below(limit - static_cast<uint32_t>(data.size()) + 1);
            model.store(address, data);
            return MotorolaRecord(addressBytes, address, data);
        }
        if (Below(4) == 0) {
            hex.segmentBase = static_cast<int32_t>(Below(0x2000));
            const uint16_t segment = static_cast<uint16_t>(hex.segmentBase + kImageSegment);
            const std::vector<uint8_t> value{static_cast<uint8_t>(segment >> 8), static_cast<uint8_t>(segment)};
            return IntelHexRecord(0x02, 0, value);
        }
        const int64_t base = int64_t{hex.segmentBase} * 16;
        const auto room = static_cast<uint32_t>(std::min<int64_t>(0x10000, kFirmwareImageSize - base));
        const std::vector<uint8_t> data = Data(Below(std::min<uint32_t>(120, room + 1)));
        const auto address = static_cast<uint16_t>(Below(room - static_cast<uint32_t>(data.size()) + 1));
        model.store(base + address, data);
        return IntelHexRecord(0x00, address, data);
    }
    std::string Mangled(std::string line) {
        switch (Below(5)) {
        case 0: line[Below(static_cast<uint32_t>(line.size()))] = static_cast<char>(m_random()); break;
        case 1: line.resize(Below(static_cast<uint32_t>(line.size()))); break;
        case 2: line.insert(Below(static_cast<uint32_t>(line.size())), 1, static_cast<char>(m_random())); break;
        case 3: line[Below(static_cast<uint32_t>(std::min<std::size_t>(line.size(), 3)))] = "0123456789ABCDEF"[Below(16)]; break;
        default: line.erase(Below(static_cast<uint32_t>(line.size())), 1); break;
        }
        return line;
    }
};

TEST_F(RandomLines, WellFormedRecordsStoreExactlyTheirData) {
    for (bool motorola : {true, false}) {
        FirmwareImage image;
        FirmwareImage model;
        HexLoadState state;
        HexLoadState modelState;
        for (int i = 0; i < 3000; ++i) {
            const std::string line = WellFormed(model, modelState, motorola);
            ASSERT_LE(line.size(), 250u);
            const LineResult result = motorola ? ParseMotorolaLine(line, image) : ParseHexLine(line, image, state);
            ASSERT_EQ(result, LineResult::accepted) << line;
        }
        EXPECT_TRUE(SameImage(image, model));
        EXPECT_EQ(state.segmentBase, modelState.segmentBase);
    }
}

TEST_F(RandomLines, ARefusedLineWritesNothing) {
    for (bool motorola : {true, false}) {
        FirmwareImage image;
        FirmwareImage before;
        HexLoadState state;
        for (int i = 0; i < 1500; ++i) {
            FirmwareImage ignored;
            HexLoadState ignoredState = state;
            const std::string line = Mangled(WellFormed(ignored, ignoredState, motorola));
            const HexLoadState stateBefore = state;
            const LineResult result = motorola ? ParseMotorolaLine(line, image) : ParseHexLine(line, image, state);
            if (result == LineResult::accepted) {
                std::copy(image.bytes().begin(), image.bytes().end(), before.bytes().begin());
                continue;
            }
            ASSERT_TRUE(SameImage(image, before)) << line;
            ASSERT_EQ(state.segmentBase, stateBefore.segmentBase) << line;
        }
    }
}

}  // namespace
}  // namespace karvel::firmware
