// libFuzzer target: converts arbitrary bytes and stops on output whose markup is broken or whose
// text differs from the input.
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

// Keywords that are prefixes of one another, so a word is only marked when it matches whole.
lexpaint::KeywordSet MakeKeywords() {
  lexpaint::KeywordSet keywords;
  for (std::string_view word : {"int", "in", "for", "if", "return", "do", "double", "char"}) {
    keywords.Insert(word);
  }
  return keywords;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const lexpaint::KeywordSet keywords = MakeKeywords();
  const std::string source(reinterpret_cast<const char*>(data), size);
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
