#include "data/RecordReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kavra;

namespace {

std::vector<std::string> records(std::string_view content)
{
    RecordReader reader(content, detectTerminator(content));
    std::vector<std::string> out;
    do
        out.emplace_back(reader.next());
    while (reader.more());
    return out;
}

}  // namespace

TEST(Terminator, TheFirstLineBreakDecides)
{
    EXPECT_EQ(detectTerminator("a\r\nb\r\n"), "\r\n");
    EXPECT_EQ(detectTerminator("a\rb\r\nc\r\n"), "\r");
    EXPECT_EQ(detectTerminator("a\nb\r\n"), "\n");
    EXPECT_EQ(detectTerminator("no break at all"), "");
    EXPECT_EQ(detectTerminator(""), "");
}

TEST(Terminator, LooksOnlyAtTheStartOfTheFile)
{
    std::string late(100000, 'x');
    late += "\r\n";
    EXPECT_EQ(detectTerminator(late), "");
    std::string early(99997, 'x');
    early += "\n";
    EXPECT_EQ(detectTerminator(early), "\n");
}

TEST(RecordReader, SplitsAtTheTerminatorAndStopsBeforeTrailingBreaks)
{
    EXPECT_EQ(records("a,b\r\nc\r\n"), (std::vector<std::string>{"a,b", "c"}));
    EXPECT_EQ(records("a\nbc"), (std::vector<std::string>{"a", "bc"}));
    // A last record no longer than the terminator, and unterminated, is not read.
    EXPECT_EQ(records("a\r\nb"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(records("a\rb\r\r"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(records("a\r\n\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "", "b"}));
}

TEST(RecordReader, FlagsOverlongRecordsOfSingleCharacterTerminators)
{
    const std::string big(kRecordChunk + 1, 'x');
    const std::string lfFile = big + "\n", crlfFile = big + "\r\n";
    RecordReader lf(lfFile, "\n");
    lf.next();
    EXPECT_TRUE(lf.overlong());
    RecordReader crlf(crlfFile, "\r\n");
    crlf.next();
    EXPECT_FALSE(crlf.overlong());
}

TEST(EndOfData, ColumnAverageAsWrittenOrANul)
{
    EXPECT_TRUE(isEndOfData("Column Average,1,2"));
    EXPECT_FALSE(isEndOfData("column average,1,2"));
    EXPECT_FALSE(isEndOfData("Column Averag"));
    EXPECT_TRUE(isEndOfData(std::string_view("\0abc", 4)));
    EXPECT_FALSE(isEndOfData(""));
}
