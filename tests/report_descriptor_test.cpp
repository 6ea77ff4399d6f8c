#include "board/report_descriptor.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace usbio2 {
namespace {

// A vendor-defined device with one 64-byte input and one 64-byte output
// report and no report IDs, as a board describes itself.
const std::vector<std::uint8_t> kBoardDescriptor = {
    0x06, 0x00, 0xFF,  // Usage Page (Vendor 0xFF00)
    0x09, 0x01,        // Usage (1)
    0xA1, 0x01,        // Collection (Application)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x40,        //   Report Count (64)
    0x09, 0x01,        //   Usage (1)
    0x81, 0x02,        //   Input (Data, Var, Abs)
    0x95, 0x40,        //   Report Count (64)
    0x09, 0x01,        //   Usage (1)
    0x91, 0x02,        //   Output (Data, Var, Abs)
    0xC0,              // End Collection
};

TEST(ReportDescriptor, BoardHasSixtyFiveByteReportsUnnumbered) {
    const auto summary = summarizeReportDescriptor(kBoardDescriptor);
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->lengths.input, 65u);
    EXPECT_EQ(summary->lengths.output, 65u);
    EXPECT_FALSE(summary->numberedReports);
}

// Two numbered reports per direction: the longest counts, its ID byte
// included in the one extra byte.
TEST(ReportDescriptor, NumberedReportsTakeTheLongest) {
    const std::vector<std::uint8_t> descriptor = {
        0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01,  // Report ID 1
        0x75, 0x08, 0x95, 0x10,                                // 16 bytes
        0x81, 0x02,                                            // Input
        0x91, 0x02,                                            // Output
        0x85, 0x02,                                            // Report ID 2
        0x95, 0x20,                                            // 32 bytes
        0x81, 0x02,                                            // Input
        0x75, 0x01, 0x95, 0x03,                                // 3 bits
        0x91, 0x02,                                            // Output
        0xB1, 0x02,                                            // Feature: counted in neither
        0xC0,
    };
    const auto summary = summarizeReportDescriptor(descriptor);
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->lengths.input, 33u);
    EXPECT_EQ(summary->lengths.output, 17u);
    EXPECT_TRUE(summary->numberedReports);
}

TEST(ReportDescriptor, FieldsOfOneReportAddUpAndBitsRoundUp) {
    const std::vector<std::uint8_t> descriptor = {
        0x75, 0x01, 0x95, 0x05, 0x81, 0x02,  // 5 bits
        0x75, 0x03, 0x95, 0x01, 0x81, 0x01,  // 3 bits of padding
        0x75, 0x08, 0x95, 0x02, 0x81, 0x06,  // 2 bytes
        0x75, 0x01, 0x95, 0x01, 0x81, 0x02,  // 1 bit more: rounds up
    };
    const auto summary = summarizeReportDescriptor(descriptor);
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->lengths.input, 5u);  // 25 bits: 4 bytes, plus the ID byte
    EXPECT_EQ(summary->lengths.output, 0u);
}

TEST(ReportDescriptor, PushAndPopRestoreGlobals) {
    const std::vector<std::uint8_t> descriptor = {
        0x75, 0x08, 0x95, 0x04,  // 4 bytes
        0xA4,                    // Push
        0x95, 0x40,              // 64 bytes
        0x91, 0x02,              // Output: 64
        0xB4,                    // Pop
        0x81, 0x02,              // Input: 4
    };
    const auto summary = summarizeReportDescriptor(descriptor);
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->lengths.input, 5u);
    EXPECT_EQ(summary->lengths.output, 65u);
}

TEST(ReportDescriptor, SkipsLongItemsAndFourByteData) {
    const std::vector<std::uint8_t> descriptor = {
        0xFE, 0x02, 0x10, 0xAA, 0xBB,  // long item with 2 data bytes
        0x77, 0x08, 0x00, 0x00, 0x00,  // Report Size (8), 4-byte form
        0x97, 0x40, 0x00, 0x00, 0x00,  // Report Count (64), 4-byte form
        0x81, 0x02,
    };
    const auto summary = summarizeReportDescriptor(descriptor);
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->lengths.input, 65u);
}

TEST(ReportDescriptor, RejectsMalformedDescriptors) {
    const std::vector<std::vector<std::uint8_t>> cases = {
        {0x75},                    // data byte missing
        {0x26, 0xFF},              // second data byte missing
        {0x97, 0x40, 0x00},        // four-byte item cut off
        {0xFE, 0x05, 0x10, 0x00},  // long item past the end
        {0xB4},                    // Pop without Push
    };
    for (const auto& descriptor : cases) {
        EXPECT_FALSE(summarizeReportDescriptor(descriptor)) << descriptor.size();
    }
    // A cut-off board descriptor fails too, rather than giving short lengths.
    const std::vector<std::uint8_t> truncated(kBoardDescriptor.begin(),
                                              kBoardDescriptor.begin() + 10);
    EXPECT_FALSE(summarizeReportDescriptor(truncated));
}

TEST(ReportDescriptor, EmptyDescriptorHasNoReports) {
    const auto summary = summarizeReportDescriptor({});
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->lengths.input, 0u);
    EXPECT_EQ(summary->lengths.output, 0u);
}

}  // namespace
}  // namespace usbio2
