#include "include_directive.h"

namespace lexpaint {
namespace {

std::size_t SkipBlanks(std::string_view line, std::size_t i) {
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  return i;
}

}  // namespace

std::optional<IncludeDirective> ParseIncludeDirective(std::string_view line) {
  constexpr std::string_view kInclude = "include";
  IncludeDirective directive{};
  directive.hash = SkipBlanks(line, 0);
  if (directive.hash == line.size() || line[directive.hash] != '#') return std::nullopt;
  const std::size_t word = SkipBlanks(line, directive.hash + 1);
  if (line.compare(word, kInclude.size(), kInclude) != 0) return std::nullopt;
  directive.open = SkipBlanks(line, word + kInclude.size());
  if (directive.open == line.size()) return std::nullopt;
  const char opener = line[directive.open];
  if (opener != '"' && opener != '<') return std::nullopt;
  directive.angled = opener == '<';
  const std::size_t end = line.find(directive.angled ? '>' : '"', directive.open + 1);
  if (end == std::string_view::npos || end == directive.open + 1) return std::nullopt;
  directive.name = line.substr(directive.open + 1, end - directive.open - 1);
  directive.close = end + 1;
  return directive;
}

}  // namespace lexpaint
