#ifndef LEXPAINT_HIGHLIGHT_INCLUDE_DIRECTIVE_H_
#define LEXPAINT_HIGHLIGHT_INCLUDE_DIRECTIVE_H_

#include <cstddef>
#include <optional>
#include <string_view>

namespace lexpaint {

// The name an #include line names, and where it lies in the line.
struct IncludeDirective {
  std::string_view name;  // between the delimiters
  bool angled;            // <name> rather than "name"
  std::size_t hash;       // offset of the '#'
  std::size_t open;       // offset of the opening '"' or '<'
  std::size_t close;      // offset just past the closing '"' or '>'
};

// Reads `line`, the text of one line without its line feed, as an #include directive: blanks and
// tabs, '#', blanks and tabs, "include", blanks and tabs, then "name" or <name> with a name that
// is not empty. Anything may follow. Returns nothing for any other line.
std::optional<IncludeDirective> ParseIncludeDirective(std::string_view line);

}  // namespace lexpaint

#endif  // LEXPAINT_HIGHLIGHT_INCLUDE_DIRECTIVE_H_
