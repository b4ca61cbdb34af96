// libFuzzer target: finds the definitions in arbitrary bytes, read from a stream and in place,
// and stops where the two differ or a definition is not one of the input's: a name that is empty
// or not in the input, or a line past its last.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "definition_finder.h"
#include "source_text.h"

namespace {

[[noreturn]] void Fail(const char* fault) {
  std::fprintf(stderr, "%s\n", fault);
  __builtin_trap();
}

bool Same(const std::vector<lexpaint::Definition>& a, const std::vector<lexpaint::Definition>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].name != b[i].name || a[i].kind != b[i].kind || a[i].line != b[i].line) return false;
  }
  return true;
}

void Check(const std::vector<lexpaint::Definition>& found, std::string_view source) {
  std::uint64_t lines = 1;
  for (char c : source) lines += c == '\n' ? 1 : 0;
  for (const lexpaint::Definition& d : found) {
    if (d.line == 0 || d.line > lines) Fail("a definition's line is not one of the input's");
    if (d.name.empty()) Fail("a definition has no name");
    // Destructors and operators are named from several tokens; other names are one word.
    const bool composed = d.name[0] == '~' || d.name.rfind("operator", 0) == 0;
    if (!composed && source.find(d.name) == std::string_view::npos) {
      Fail("a definition's name is not in the input");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string source(reinterpret_cast<const char*>(data), size);
  std::istringstream stream(source);
  const std::vector<lexpaint::Definition> streamed = lexpaint::FindDefinitions(stream);
  std::istringstream again(source);
  lexpaint::SourceText text;
  if (!text.Read(again, size)) Fail("reading an in-memory stream failed");
  const std::vector<lexpaint::Definition> inPlace = lexpaint::FindDefinitions(text.lines());
  if (!Same(streamed, inPlace)) Fail("read from a stream and in place, the definitions differ");
  Check(streamed, source);
  return 0;
}
