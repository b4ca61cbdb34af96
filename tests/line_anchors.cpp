#include "line_anchors.h"

#include <algorithm>

namespace lexpaint {

std::size_t CountLines(std::string_view source) {
  const auto feeds = static_cast<std::size_t>(std::count(source.begin(), source.end(), '\n'));
  return feeds + (!source.empty() && source.back() != '\n' ? 1 : 0);
}

std::string CheckLineAnchors(std::string_view numbered, std::string_view plain, std::size_t lines) {
  std::string stripped;
  stripped.reserve(plain.size());
  std::size_t line = 0;
  for (std::size_t start = 0; start < numbered.size();) {
    ++line;
    const std::string number = std::to_string(line);
    const std::string anchor = "<a class=\"Line\" id=\"L" + number + "\" href=\"#L" + number +
                               "\" tabindex=\"-1\" aria-label=\"line " + number + "\"></a>";
    if (numbered.compare(start, anchor.size(), anchor) != 0) {
      return "line " + number + " does not start with " + anchor + ": " +
             std::string(numbered.substr(start, 80));
    }
    const std::size_t feed = numbered.find('\n', start);
    if (feed == std::string_view::npos) return "line " + number + " has no line feed";
    stripped.append(numbered, start + anchor.size(), feed + 1 - start - anchor.size());
    start = feed + 1;
  }
  if (line != lines) {
    return std::to_string(line) + " anchors for " + std::to_string(lines) + " lines";
  }
  if (stripped != plain) {
    const auto diff = std::mismatch(stripped.begin(), stripped.end(), plain.begin(), plain.end());
    const auto at = static_cast<std::size_t>(diff.first - stripped.begin());
    return "without its anchors the body differs from the plain one at byte " + std::to_string(at) +
           ": " + stripped.substr(at, 60) + " against " + std::string(plain.substr(at, 60));
  }
  return "";
}

std::string RemoveLinks(std::string_view body, int* links) {
  constexpr std::string_view kOpen = "<a href=\"";
  constexpr std::string_view kClose = "</a>";
  const auto at = [body](std::size_t i, std::string_view text) {
    return body.compare(i, text.size(), text) == 0;
  };
  std::string kept;
  int count = 0;
  bool open = false;
  for (std::size_t i = 0; i < body.size();) {
    if (at(i, kOpen)) {
      const std::size_t end = body.find("\">", i);
      if (open || end == std::string_view::npos) count = -1;
      open = true;
      i = end == std::string_view::npos ? body.size() : end + 2;
    } else if (at(i, kClose) && !(i >= 2 && at(i - 2, "\">"))) {  // not a line anchor's end
      if (!open) count = -1;
      if (count >= 0) ++count;
      open = false;
      i += kClose.size();
    } else {
      if (open && body[i] == '\n') count = -1;
      kept += body[i++];
    }
  }
  *links = open ? -1 : count;
  return kept;
}

}  // namespace lexpaint
