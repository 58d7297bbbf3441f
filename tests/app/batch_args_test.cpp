// Batch mode's command line: what is accepted, and a clear refusal of everything else.
#include "stereo/batch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Parsed {
    int result;
    BatchOptions options;
    std::string message;
};

Parsed Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "qivstereo");
    Parsed p{};
    p.result =
        ParseBatchArguments(static_cast<int>(args.size()), args.data(), &p.options, &p.message);
    return p;
}

TEST(BatchArguments, DefaultsAndEveryOptionInBothForms) {
    const Parsed plain = Parse({"--batch", "pair.jpg"});
    ASSERT_EQ(plain.result, BATCH_OK) << plain.message;
    EXPECT_EQ(plain.options.file, "pair.jpg");
    EXPECT_EQ(plain.options.offsetX, 0);
    EXPECT_EQ(plain.options.offsetY, 0);
    EXPECT_EQ(plain.options.maxDisparity, 100);
    EXPECT_FALSE(plain.options.maxDisparityGiven);
    EXPECT_EQ(plain.options.outDir, "");

    const Parsed all =
        Parse({"--offset", "-12,+3", "--max-disparity=64", "--out", "results", "--batch=pair.png"});
    ASSERT_EQ(all.result, BATCH_OK) << all.message;
    EXPECT_EQ(all.options.file, "pair.png");
    EXPECT_EQ(all.options.offsetX, -12);
    EXPECT_EQ(all.options.offsetY, 3);
    EXPECT_EQ(all.options.maxDisparity, 64);
    EXPECT_TRUE(all.options.maxDisparityGiven);
    EXPECT_EQ(all.options.outDir, "results");
    EXPECT_FALSE(all.options.autoAlign);
    EXPECT_TRUE(Parse({"--auto-align", "--batch", "pair.jpg"}).options.autoAlign);

    const Parsed many = Parse({"--batch", "a.mpo", "b.jps", "--wiggle-gif", "--anaglyph=dubois",
                               "--jobs", "3", "c.jpg"});
    ASSERT_EQ(many.result, BATCH_OK) << many.message;
    EXPECT_EQ(many.options.files, (std::vector<std::string>{"a.mpo", "b.jps", "c.jpg"}));
    EXPECT_TRUE(many.options.wiggleGif);
    EXPECT_EQ(many.options.anaglyph, ANAGLYPH_DUBOIS);
    EXPECT_EQ(many.options.jobs, 3);

    EXPECT_TRUE(Parse({"--help"}).options.help);
}

TEST(BatchArguments, BadCommandLinesAreRefusedWithTheReason) {
    struct Case {
        std::vector<const char*> args;
        const char* reason;
    };
    const Case cases[] = {
        {{}, "--batch FILE is required"},
        {{"--offset", "1,2"}, "--batch FILE is required"},
        {{"--batch"}, "--batch needs a value FILE"},
        {{"--batch="}, "--batch needs a value FILE"},
        {{"--batch", "--out", "d"}, "--batch needs a value FILE"},
        {{"--batch", "a.jpg", "--verbose"}, "unknown option '--verbose'"},
        {{"extra.jpg", "--batch", "a.jpg"}, "unexpected argument 'extra.jpg'"},
        {{"--batch", "a.jpg", "--anaglyph", "red"}, "neither plain nor dubois"},
        {{"--batch", "a.jpg", "--jobs", "0"}, "--jobs '0' is not 1 to 256"},
        {{"--batch", "a.jpg", "--batch", "b.jpg"}, "--batch is given more than once"},
        {{"--batch", "a.jpg", "--offset"}, "--offset needs a value DX,DY"},
        {{"--batch", "a.jpg", "--offset", "5"}, "'5' is not DX,DY"},
        {{"--batch", "a.jpg", "--offset", "5,"}, "'5,' is not DX,DY"},
        {{"--batch", "a.jpg", "--offset", "1,2,3"}, "'1,2,3' is not DX,DY"},
        {{"--batch", "a.jpg", "--offset", "x,2"}, "'x,2' is not DX,DY"},
        {{"--batch", "a.jpg", "--offset", "1.5,2"}, "'1.5,2' is not DX,DY"},
        {{"--batch", "a.jpg", "--offset", " 1,2"}, "' 1,2' is not DX,DY"},
        {{"--batch", "a.jpg", "--offset", "+-1,2"}, "'+-1,2' is not DX,DY"},
        {{"--batch", "a.jpg", "--offset", "99999999999,0"}, "'99999999999,0' is not DX,DY"},
        {{"--batch", "a.jpg", "--max-disparity", "12x"}, "'12x' is not a whole number"},
        {{"--batch", "a.jpg", "--max-disparity", ""}, "--max-disparity needs a value N"},
        {{"--batch", "a.jpg", "--max-disparity", "0"}, "--max-disparity 0 is outside 1 to 255"},
        {{"--batch", "a.jpg", "--max-disparity", "256"}, "256 is outside 1 to 255"},
        {{"--batch", "a.jpg", "--max-disparity", "-3"}, "-3 is outside 1 to 255"},
        {{"--batch", "a.jpg", "--out"}, "--out needs a value DIR"},
        {{"--batch", "a.jpg", "--auto-align", "--offset", "1,2"}, "exclude each other"},
        {{"--batch", "a.jpg", "--auto-align", "--auto-align"}, "--auto-align is given more"},
    };
    for (const Case& c : cases) {
        const Parsed p = Parse(c.args);
        EXPECT_EQ(p.result, BATCH_USAGE) << c.reason;
        EXPECT_NE(p.message.find(c.reason), std::string::npos)
            << "expected '" << c.reason << "' in '" << p.message << "'";
    }
}

TEST(BatchArguments, BatchModeIsRecognisedAnywhereOnTheLine) {
    const char* gui[] = {"qivstereo", "pair.jpg"};
    const char* batch[] = {"qivstereo", "--out", "d", "--batch=pair.jpg"};
    EXPECT_FALSE(IsBatchCommand(2, gui));
    EXPECT_TRUE(IsBatchCommand(4, batch));
}

} // namespace
