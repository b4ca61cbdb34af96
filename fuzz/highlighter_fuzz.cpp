// libFuzzer target: converts arbitrary bytes and stops on output whose markup is broken or whose
// text differs from the input.
//
// An input whose first byte is 0x01 or 0x02 is converted after a filler line instead, so that the
// rest of it straddles a point where the line reader splits its input: the end of its first 64 KiB
// read, or the end of the bytes in which it looks for the first run's last line feed. The second
// byte sets how many of its bytes come before that point.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <string_view>

#include "highlighter.h"
#include "keyword_set.h"
#include "markup_check.h"

namespace {

constexpr std::size_t kFirstRead = 64 * 1024;
constexpr std::uint8_t kReadMarker = 0x01;
constexpr std::uint8_t kRunMarker = 0x02;

// Keywords that are prefixes of one another, so a word is only marked when it matches whole.
lexpaint::KeywordSet MakeKeywords() {
  lexpaint::KeywordSet keywords;
  for (std::string_view word : {"int", "in", "for", "if", "return", "do", "double", "char"}) {
    keywords.Insert(word);
  }
  return keywords;
}

std::string MakeSource(const std::uint8_t* data, std::size_t size) {
  const char* bytes = reinterpret_cast<const char*>(data);
  if (size < 2 || (data[0] != kReadMarker && data[0] != kRunMarker)) {
    return std::string(bytes, size);
  }
  const std::size_t point = data[0] == kReadMarker ? kFirstRead : lexpaint::LineReader::kRunSize;
  const std::size_t before = data[1] % 128;
  std::string source(point - before - 1, 'a');
  source += '\n';
  source.append(bytes + 2, size - 2);
  return source;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const lexpaint::KeywordSet keywords = MakeKeywords();
  const std::string source = MakeSource(data, size);
  std::istringstream input(source);
  std::ostringstream output;
  lexpaint::Highlighter highlighter(input, output, keywords);
  highlighter.Run();
  if (highlighter.input_failed()) {
    std::fprintf(stderr, "input reported as failed on an in-memory stream\n");
    __builtin_trap();
  }
  const std::string fault = lexpaint::CheckHighlighted(source, output.str());
  if (!fault.empty()) {
    std::fprintf(stderr, "bad output: %s\n", fault.c_str());
    __builtin_trap();
  }
  return 0;
}
