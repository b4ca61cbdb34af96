#include "memory_stream.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace lexpaint {
namespace {

TEST(MemoryStreamTest, ReadsItsBytesInPlaceAsOftenAsMade) {
  const std::string bytes("one\ntwo\0three", 13);
  for (int pass = 0; pass < 2; ++pass) {
    MemoryStream stream(bytes);
    std::string line;
    ASSERT_TRUE(std::getline(stream, line));
    EXPECT_EQ(line, "one");
    char rest[16];
    stream.read(rest, sizeof rest);
    EXPECT_EQ(std::string(rest, static_cast<std::size_t>(stream.gcount())),
              std::string("two\0three", 9));
    EXPECT_TRUE(stream.eof());
    EXPECT_FALSE(stream.bad());
  }
}

// The size given is a guess: a file that grew or shrank since it was listed is read whole.
TEST(MemoryStreamTest, ReadWholeReadsToTheEndWhateverTheGuess) {
  const std::string text(10000, 'x');
  for (std::uint64_t guess : {0u, 9999u, 10000u, 20000u}) {
    std::istringstream source(text);
    std::string bytes = "left over";
    ASSERT_TRUE(ReadWhole(source, guess, bytes)) << guess;
    EXPECT_EQ(bytes, text) << guess;
  }
}

TEST(MemoryStreamTest, ReadWholeReportsAFailedStream) {
  std::istringstream source("abc");
  source.setstate(std::ios::badbit);
  std::string bytes;
  EXPECT_FALSE(ReadWhole(source, 3, bytes));
}

}  // namespace
}  // namespace lexpaint
