// The JPEG check in front of the decoder: the project's own JPEGs pass, whole and split into
// JPEGTables and image; each malformed table, frame or scan header is refused with its reason.
#include <gtest/gtest.h>
#include <imageio/image_file.h>
#include <jpeg_segments.h>
#include <parse/image_decode.h>
#include <parse/jpeg_check.h>

#include <array>

#include "fixtures.h"

namespace {

using fixtures::Bytes;
using fixtures::rgb;

Bytes sampleJpeg(int quality = 90) {
    return swfimg::encodeJpeg(fixtures::checkerCanvas(24, 16, rgb(250, 200, 0), rgb(0, 60, 160)), quality);
}

std::string defectOf(const Bytes& jpeg) { return swf::findJpegDefect(jpeg.data(), jpeg.size()); }

// A frame header: 8-bit samples, the size, then id, sampling byte and table of each component.
Bytes frameHeader(int w, int h, const std::vector<std::array<uint8_t, 3>>& components, uint8_t bits = 8) {
    Bytes p = {bits, uint8_t(h >> 8), uint8_t(h), uint8_t(w >> 8), uint8_t(w), uint8_t(components.size())};
    for (const auto& c : components) p.insert(p.end(), c.begin(), c.end());
    return p;
}

TEST(JpegCheck, ProjectJpegsPassWholeAndJoinedToTheirTables) {
    for (int quality : {90, 50}) {  // 4:4:4 and 4:2:0 sampling
        Bytes jpeg = sampleJpeg(quality);
        EXPECT_EQ(defectOf(jpeg), "") << "quality " << quality;
        swfw::JpegParts parts = swfw::splitJpegTables(jpeg);
        Bytes joined = parts.tables;
        joined.insert(joined.end(), parts.image.begin(), parts.image.end());
        EXPECT_EQ(defectOf(swf::repairJpeg(joined.data(), joined.size())), "") << "quality " << quality;
        // The image alone scans with tables it never defined.
        EXPECT_NE(defectOf(parts.image).find("before it is defined"), std::string::npos) << defectOf(parts.image);
    }
}

TEST(JpegCheck, HuffmanTablesAreRefusedPastTheirCodeSpace) {
    Bytes jpeg = sampleJpeg();
    EXPECT_EQ(defectOf(swfw::withOverfullHuffmanTable(jpeg)), "Huffman table AC0 has 300 codes (at most 256)");
    // Three codes of one bit: the lengths do not fit.
    Bytes threeOneBitCodes = {0x01, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 8, 9};
    EXPECT_EQ(defectOf(swfw::withSegmentPayload(jpeg, 0xc4, threeOneBitCodes)),
              "Huffman table DC1 has more codes than its lengths allow");
    // Two codes announced, one value present.
    Bytes shortValues = {0x00, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7};
    EXPECT_EQ(defectOf(swfw::withSegmentPayload(jpeg, 0xc4, shortValues)), "Huffman table DC0 cut short");
    Bytes classTwo = {0x20, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7};
    EXPECT_NE(defectOf(swfw::withSegmentPayload(jpeg, 0xc4, classTwo)).find("out of range"), std::string::npos);
    Bytes table(1 + 64, 1);
    table[0] = 0x04;  // quantisation table 4 of 0 to 3
    EXPECT_NE(defectOf(swfw::withSegmentPayload(jpeg, 0xdb, table)).find("DQT table 4 out of range"), std::string::npos);
    table.pop_back();
    table[0] = 0x00;
    EXPECT_EQ(defectOf(swfw::withSegmentPayload(jpeg, 0xdb, table)), "DQT table cut short");
}

TEST(JpegCheck, FrameHeadersAreRefusedBeyondTheDecodersMeans) {
    Bytes jpeg = sampleJpeg();
    const std::pair<Bytes, const char*> frames[] = {
        {frameHeader(0, 16, {{1, 0x11, 0}}), "frame of 0 x 16 pixels"},
        {frameHeader(9000, 16, {{1, 0x11, 0}}), "frame of 9000 x 16 pixels"},
        {frameHeader(8000, 4000, {{1, 0x11, 0}}), "frame of 8000 x 4000 pixels"},
        {frameHeader(24, 16, {{1, 0x11, 0}}, 12), "samples of 12 bits"},
        {frameHeader(24, 16, {{1, 0x11, 0}, {2, 0x11, 1}}), "2 components"},
        {frameHeader(24, 16, {{1, 0x51, 0}, {2, 0x11, 1}, {3, 0x11, 1}}), "sampling factors out of range"},
        {frameHeader(24, 16, {{1, 0x31, 0}, {2, 0x21, 1}, {3, 0x11, 1}}), "sampling factors that do not divide the largest"},
        {frameHeader(24, 16, {{1, 0x11, 0}, {2, 0x11, 4}, {3, 0x11, 1}}), "quantisation table 4 out of range"},
        {frameHeader(24, 16, {{1, 0x11, 0}, {1, 0x11, 1}, {3, 0x11, 1}}), "component 1 defined twice"},
    };
    for (const auto& [payload, reason] : frames)
        EXPECT_EQ(defectOf(swfw::withSegmentPayload(jpeg, 0xc0, payload)), reason);
    // The same frame as lossless (SOF3), and a second frame header.
    size_t sof = 2;
    while (jpeg[sof + 1] != 0xc0) sof += 2 + (size_t(jpeg[sof + 2]) << 8 | jpeg[sof + 3]);
    Bytes lossless = jpeg;
    lossless[sof + 1] = 0xc3;
    EXPECT_EQ(defectOf(lossless), "unsupported coding process FFC3");
    Bytes twice = jpeg;
    size_t sofLength = 2 + (size_t(jpeg[sof + 2]) << 8 | jpeg[sof + 3]);
    twice.insert(twice.begin() + long(sof), jpeg.begin() + long(sof), jpeg.begin() + long(sof + sofLength));
    EXPECT_EQ(defectOf(twice), "a second frame header");
}

TEST(JpegCheck, ScanHeadersMustNameFrameComponentsAndFitTheirProcess) {
    Bytes jpeg = sampleJpeg();
    auto scan = [](std::vector<std::array<uint8_t, 2>> components, uint8_t ss, uint8_t se, uint8_t a) {
        Bytes p = {uint8_t(components.size())};
        for (const auto& c : components) p.insert(p.end(), c.begin(), c.end());
        p.insert(p.end(), {ss, se, a});
        return p;
    };
    EXPECT_EQ(defectOf(swfw::withSegmentPayload(jpeg, 0xda, scan({{9, 0x00}}, 0, 63, 0))),
              "scan names component 9 of no frame");
    EXPECT_EQ(defectOf(swfw::withSegmentPayload(jpeg, 0xda, scan({{1, 0x00}, {1, 0x00}}, 0, 63, 0))),
              "scan names component 1 twice");
    EXPECT_EQ(defectOf(swfw::withSegmentPayload(jpeg, 0xda, scan({{1, 0x04}}, 0, 63, 0))),
              "scan names Huffman tables out of range");
    EXPECT_EQ(defectOf(swfw::withSegmentPayload(jpeg, 0xda, scan({{1, 0x22}}, 0, 63, 0))),
              "scan uses Huffman table DC2 before it is defined");
    EXPECT_EQ(defectOf(swfw::withSegmentPayload(jpeg, 0xda, scan({{1, 0x00}}, 1, 63, 0))),
              "sequential scan with progressive parameters");
    // A scan of the luma alone leaves the chroma components undrawn.
    EXPECT_EQ(defectOf(swfw::withSegmentPayload(jpeg, 0xda, scan({{1, 0x00}}, 0, 63, 0))), "component 2 in no scan");
    // The same baseline scan read as progressive mixes DC and AC.
    Bytes progressive = jpeg;
    for (size_t i = 2; progressive[i + 1] != 0xda; i += 2 + (size_t(progressive[i + 2]) << 8 | progressive[i + 3]))
        if (progressive[i + 1] == 0xc0) progressive[i + 1] = 0xc2;
    EXPECT_EQ(defectOf(progressive), "progressive scan mixing DC and AC");
}

TEST(JpegCheck, CutOrStrayDataIsRefused) {
    Bytes jpeg = sampleJpeg();
    EXPECT_EQ(defectOf(Bytes(jpeg.begin(), jpeg.begin() + 30)), "segment FFDB runs past the data");
    EXPECT_EQ(defectOf(Bytes(jpeg.begin() + 2, jpeg.end())), "no SOI marker at the start");
    Bytes strayRestart = jpeg;
    strayRestart.insert(strayRestart.begin() + 2, {0xff, 0xd0});
    EXPECT_EQ(defectOf(strayRestart), "marker FFD0 out of place");
    // Padding between the header segments is stepped over, as the decoder does.
    Bytes padded = jpeg;
    size_t firstEnd = 2 + 2 + (size_t(jpeg[4]) << 8 | jpeg[5]);
    padded.insert(padded.begin() + long(firstEnd), {0x00, 0x00});
    EXPECT_EQ(defectOf(padded), "");
    // A payload the decoder would guess at by itself is not offered to it.
    Bytes extraFill = jpeg;
    extraFill.insert(extraFill.begin(), 0xff);
    swf::Bitmap bmp;
    std::string problem;
    EXPECT_FALSE(swf::decodeImage(extraFill.data(), extraFill.size(), bmp, problem));
    EXPECT_EQ(problem, "not a JPEG, PNG or GIF image");
    ASSERT_TRUE(swf::decodeImage(jpeg.data(), jpeg.size(), bmp, problem)) << problem;
    EXPECT_EQ(bmp.width, 24);
    EXPECT_EQ(bmp.height, 16);
}

}  // namespace
