#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/output_log.h"
#include "builders/bytes.h"
#include "builders/oof_builder.h"
#include "oof/oof_reader.h"

namespace torvale {
namespace {

const std::string kSamplePath = std::string(TORVALE_SOURCE_DIR) + "/samples/sample.oof";

// The bundled sample is made by the test builder; this test keeps the two the same.
TEST(OofSample, CommittedFileIsTheBuildersSample) {
    const test::Bytes expected = test::SampleOof();
    const char* write = std::getenv("TORVALE_WRITE_SAMPLE");
    if (write && std::string(write) == "1")
        ASSERT_TRUE(test::WriteTestFile(kSamplePath, expected));
    EXPECT_EQ(test::ReadTestFile(kSamplePath), expected)
        << kSamplePath << " differs from test::SampleOof(); after changing the builder's sample, rewrite it with\n"
        << "  TORVALE_WRITE_SAMPLE=1 torvale_tests --gtest_filter=OofSample.CommittedFileIsTheBuildersSample";
}

TEST(OofSample, LoadsWithEveryKindOfChunk) {
    ObjectModel model;
    OutputLog log;
    const test::Bytes bytes = test::SampleOof();
    ASSERT_EQ(ReadOofFile(bytes, "sample.oof", model, log), kOofLoaded) << log.text();
    EXPECT_EQ(model.fileVersion, 2300);
    EXPECT_EQ(model.textureCount, 3);
    ASSERT_EQ(model.subObjects.size(), 3u);
    EXPECT_EQ(model.subObjects[2].parent, 1);
    EXPECT_EQ(model.subObjects[0].faceTextureIndices[2], -1);
    EXPECT_EQ(model.subObjects[0].specialPointCount, 2);
    EXPECT_EQ(model.gunpointCount, 2);
    EXPECT_EQ(model.weaponBatteryCount, 2);
    EXPECT_EQ(model.attachPointCount, 1);
    EXPECT_EQ(model.subObjects[1].rotationKeyCount, 3);
    EXPECT_EQ(model.subObjects[2].positionKeyCount, 2);
    for (const char* id : {"TXTR", "OHDR", "SOBJ", "SPCL", "GPNT", "PANI", "RANI", "WBAT", "GRND", "ATCH", "NATH"})
        EXPECT_NE(log.text().find(std::string(id) + " found..."), std::string::npos) << id;
    EXPECT_NE(log.text().find("Output from POFGEN:    \r\npofgen: sample.p3d\r\n"), std::string::npos);
}

}  // namespace
}  // namespace torvale
