#include "markup_check.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <vector>

namespace lexpaint {
namespace {

constexpr std::string_view kKindNames[] = {"Identifier", "Comment", "Keyword",     "Operator",
                                           "Number",     "String",  "Preprocessor"};
constexpr std::string_view kOpenPrefix = "<span class=\"";
constexpr std::string_view kOpenSuffix = "\">";
constexpr std::string_view kClose = "</span>";
constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";
// The bytes of an output line that are markup, or are not allowed everywhere as text.
constexpr std::string_view kMarkupBytes("<>&\t\0", 5);

struct Entity {
  std::string_view text;
  char decoded;
};
constexpr Entity kEntities[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&#13;", '\r'}};

bool StartsWith(std::string_view text, std::size_t at, std::string_view prefix) {
  return text.compare(at, prefix.size(), prefix) == 0;
}

// Splits `text` at line feeds. A last line without a line feed counts; nothing after a final
// line feed does.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find('\n', begin);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(text.substr(begin, end - begin));
    begin = end + 1;
  }
  return lines;
}

// `text` around `at`, printable, for an error message: other bytes are shown as \xNN.
std::string Excerpt(std::string_view text, std::size_t at) {
  constexpr std::size_t kContext = 30;
  const std::size_t first = at > kContext ? at - kContext : 0;
  const std::size_t end = std::min(text.size(), at + kContext);
  std::string shown = first > 0 ? "..." : "";
  shown += '"';
  for (std::size_t i = first; i < end; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7f && c != '\\' && c != '"') {
      shown += static_cast<char>(c);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      shown += escaped;
    }
  }
  shown += '"';
  if (end < text.size()) shown += "...";
  return shown;
}

std::string Fault(std::size_t lineIndex, std::string_view line, std::size_t at,
                  std::string_view what) {
  return "line " + std::to_string(lineIndex + 1) + ", byte " + std::to_string(at + 1) + ": " +
         std::string(what) + " in " + Excerpt(line, at);
}

bool IsKindName(std::string_view name) {
  return std::find(std::begin(kKindNames), std::end(kKindNames), name) != std::end(kKindNames);
}

// Checks one output line, without its line feed.
std::string CheckMarkupLine(std::size_t lineIndex, std::string_view line) {
  std::string_view openKind;  // empty while no span is open
  bool open = false;
  char lastText = '\0';  // the last raw text character so far ('&' for an entity)
  bool crEntitySeen = false;
  for (std::size_t i = 0; i < line.size();) {
    const char c = line[i];
    if (c == '<') {
      if (StartsWith(line, i, kClose)) {
        if (!open) return Fault(lineIndex, line, i, "</span> without an open span");
        open = false;
        i += kClose.size();
        continue;
      }
      if (!StartsWith(line, i, kOpenPrefix)) return Fault(lineIndex, line, i, "bare '<'");
      const std::size_t nameBegin = i + kOpenPrefix.size();
      const std::size_t nameEnd = line.find(kOpenSuffix, nameBegin);
      if (nameEnd == std::string_view::npos) {
        return Fault(lineIndex, line, i, "unterminated opening tag");
      }
      const std::string_view kind = line.substr(nameBegin, nameEnd - nameBegin);
      if (!IsKindName(kind)) {
        return Fault(lineIndex, line, i, "unknown span class \"" + std::string(kind) + "\"");
      }
      if (open) return Fault(lineIndex, line, i, "span opened inside another span");
      open = true;
      openKind = kind;
      i = nameEnd + kOpenSuffix.size();
      continue;
    }
    if (crEntitySeen) return Fault(lineIndex, line, i, "text after &#13;");
    if (kMarkupBytes.find(c) == std::string_view::npos) {
      // A run of ordinary text, checked as a whole.
      i = std::min(line.find_first_of(kMarkupBytes, i), line.size());
      lastText = line[i - 1];
      continue;
    }
    std::size_t length = 1;
    if (c == '&') {
      const Entity* entity =
          std::find_if(std::begin(kEntities), std::end(kEntities),
                       [&](const Entity& e) { return StartsWith(line, i, e.text); });
      if (entity == std::end(kEntities)) return Fault(lineIndex, line, i, "bare '&'");
      length = entity->text.size();
      crEntitySeen = entity->decoded == '\r';
    } else if (c == '>') {
      return Fault(lineIndex, line, i, "bare '>'");
    } else if (c == '\0') {
      return Fault(lineIndex, line, i, "NUL byte");
    } else if (c == '\t' && !(open && (openKind == "Comment" || openKind == "String"))) {
      return Fault(lineIndex, line, i, "tab outside a comment or literal");
    }
    lastText = c;
    i += length;
  }
  if (open) return Fault(lineIndex, line, line.size(), "span left open at the line's end");
  if (lastText == '\r') return Fault(lineIndex, line, line.size(), "bare CR ends the line");
  return "";
}

// The text of an output line: tags removed, entities decoded.
std::string TextOf(std::string_view line) {
  std::string text;
  text.reserve(line.size());
  for (std::size_t i = 0; i < line.size();) {
    const std::size_t special = std::min(line.find_first_of("<&", i), line.size());
    text.append(line, i, special - i);
    i = special;
    if (i == line.size()) break;
    if (line[i] == '<') {
      const std::size_t close = line.find('>', i);
      if (close != std::string_view::npos) {
        i = close + 1;
        continue;
      }
    } else {
      const Entity* entity =
          std::find_if(std::begin(kEntities), std::end(kEntities),
                       [&](const Entity& e) { return StartsWith(line, i, e.text); });
      if (entity != std::end(kEntities)) {
        text += entity->decoded;
        i += entity->text.size();
        continue;
      }
    }
    text += line[i++];
  }
  return text;
}

std::string ExpandTabs(std::string_view text) {
  std::string expanded;
  expanded.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t tab = std::min(text.find('\t', i), text.size());
    expanded.append(text, i, tab - i);
    if (tab < text.size()) expanded += "    ";
    i = tab + 1;
  }
  return expanded;
}

// True if `actual` is `expected` with white space after a final backslash dropped.
bool IsContinuationDrop(std::string_view expected, std::string_view actual) {
  return !actual.empty() && actual.back() == '\\' && expected.size() > actual.size() &&
         expected.compare(0, actual.size(), actual) == 0 &&
         expected.find_first_not_of(kWhiteSpace, actual.size()) == std::string_view::npos;
}

}  // namespace

std::string CheckMarkup(std::string_view output) {
  if (!output.empty() && output.back() != '\n') return "output does not end with a line feed";
  const std::vector<std::string_view> lines = SplitLines(output);
  for (std::size_t n = 0; n < lines.size(); ++n) {
    std::string fault = CheckMarkupLine(n, lines[n]);
    if (!fault.empty()) return fault;
  }
  return "";
}

std::string CheckTextPreserved(std::string_view input, std::string_view output) {
  const std::vector<std::string_view> inputLines = SplitLines(input);
  const std::vector<std::string_view> outputLines = SplitLines(output);
  if (inputLines.size() != outputLines.size()) {
    return std::to_string(inputLines.size()) + " input lines but " +
           std::to_string(outputLines.size()) + " output lines";
  }
  for (std::size_t n = 0; n < inputLines.size(); ++n) {
    const std::string_view source = inputLines[n];
    const std::string expected = ExpandTabs(source.substr(0, source.find('\0')));
    const std::string actual = ExpandTabs(TextOf(outputLines[n]));
    if (expected == actual || IsContinuationDrop(expected, actual)) continue;
    const std::size_t at = static_cast<std::size_t>(
        std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end()).first -
        expected.begin());
    return "line " + std::to_string(n + 1) + ": text differs at byte " + std::to_string(at + 1) +
           " (tabs expanded): expected " + Excerpt(expected, at) + ", got " + Excerpt(actual, at);
  }
  return "";
}

std::string CheckHighlighted(std::string_view input, std::string_view output) {
  std::string fault = CheckMarkup(output);
  if (fault.empty()) fault = CheckTextPreserved(input, output);
  return fault;
}

}  // namespace lexpaint
