#include "source_scan.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string_view>

#include "include_directive.h"
#include "line_reader.h"

namespace lexpaint {
namespace {

// A byte at a time: find_first_not_of would search its set of blanks for every byte.
bool MayBeDirective(std::string_view line) {
  std::size_t first = 0;
  while (first < line.size() && (line[first] == ' ' || line[first] == '\t')) ++first;
  return first < line.size() && line[first] == '#';
}

// Adds what a run of whole lines holds to `scan`.
void ScanLines(std::string_view lines, SourceScan& scan) {
  const char* p = lines.data();
  const char* const last = p + lines.size();
  while (p < last) {
    const LineEnd end = FindLineEnd(p);
    const std::string_view line(p, static_cast<std::size_t>(end.text - p));
    ++scan.lines;
    if (MayBeDirective(line)) {
      if (std::optional<IncludeDirective> directive = ParseIncludeDirective(line)) {
        scan.includes.push_back({std::string(directive->name), directive->angled});
      }
    }
    p = end.feed + 1;
  }
}

}  // namespace

SourceScan ScanSource(std::istream& source) {
  SourceScan scan;
  LineReader reader(source);
  std::string_view lines;
  while (reader.NextLines(&lines)) ScanLines(lines, scan);
  scan.readable = !reader.failed();
  return scan;
}

SourceScan ScanSource(std::string_view lines) {
  SourceScan scan;
  ScanLines(lines, scan);
  scan.readable = true;
  return scan;
}

std::string_view ShownLine(std::string_view line, std::size_t width) {
  line = line.substr(0, line.find('\0'));
  const std::size_t first = line.find_first_not_of(" \t\r\f\v");
  if (first == std::string_view::npos) return line.substr(line.size());
  line = line.substr(first);
  line = line.substr(0, line.find_last_not_of(" \t\r\f\v") + 1);
  if (line.size() <= width) return line;
  // A cut inside a UTF-8 sequence would leave half a character: it moves back to its start, at
  // most three bytes back. Bytes that are no UTF-8 are cut where asked.
  const auto continues = [&line](std::size_t k) {
    return (static_cast<unsigned char>(line[k]) & 0xC0) == 0x80;
  };
  std::size_t cut = width;
  for (int back = 0; back < 3 && cut > 0 && continues(cut); ++back) --cut;
  if (continues(cut)) cut = width;
  return line.substr(0, cut);
}

std::vector<std::string> ReadLines(std::istream& source, const std::vector<std::uint64_t>& lines,
                                   std::size_t width) {
  std::vector<std::string> texts(lines.size());
  LineReader reader(source);
  std::string_view run;
  std::uint64_t number = 0;
  std::size_t wanted = 0;
  while (wanted < lines.size() && reader.NextLines(&run)) {
    for (const char* p = run.data(); p < run.data() + run.size() && wanted < lines.size();) {
      const LineEnd end = FindLineEnd(p);
      const char* const feed = end.feed;
      if (lines[wanted] == ++number) {
        const std::string text =
            ShownLineText(std::string_view(p, static_cast<std::size_t>(end.text - p)), width);
        for (; wanted < lines.size() && lines[wanted] == number; ++wanted) texts[wanted] = text;
      }
      p = feed + 1;
    }
  }
  return texts;
}

bool StartsLikeSource(std::string_view head) {
  if (head.find('\0') != std::string_view::npos) return false;
  const std::size_t first = head.find_first_not_of(" \t\r\n\f\v");
  if (first == std::string_view::npos) return false;
  head.remove_prefix(first);
  if (head.substr(0, 2) == "//" || head.substr(0, 2) == "/*") return true;
  if (head.front() != '#') return false;
  head.remove_prefix(std::min(head.find_first_not_of(" \t", 1), head.size()));
  for (std::string_view directive : {"include", "ifndef", "ifdef", "if", "define", "pragma"}) {
    if (head.substr(0, directive.size()) != directive) continue;
    const char next = head.size() > directive.size() ? head[directive.size()] : '\n';
    if (next == ' ' || next == '\t' || next == '\r' || next == '\n' || next == '(' || next == '<' ||
        next == '"') {
      return true;
    }
  }
  return false;
}

// The scope's name is most often that of the entry before, whose text it then shares.
void PageDefinitions::Add(const Definition& definition) {
  std::uint32_t scopeOffset = static_cast<std::uint32_t>(names.size());
  if (!entries.empty() && ScopeOf(entries.back()) == definition.scope) {
    scopeOffset = entries.back().scopeOffset;
  } else {
    names += definition.scope;
  }
  entries.push_back({static_cast<std::uint32_t>(names.size()),
                     static_cast<std::uint32_t>(definition.name.size()), definition.line,
                     definition.kind, definition.scopeKind, definition.internal, scopeOffset,
                     static_cast<std::uint32_t>(definition.scope.size())});
  names += definition.name;
  for (const std::string& base : definition.bases) {
    bases.push_back({static_cast<std::uint32_t>(entries.size() - 1),
                     static_cast<std::uint32_t>(names.size()),
                     static_cast<std::uint32_t>(base.size())});
    names += base;
  }
  if (!definition.aliased.empty()) {
    aliases.push_back({static_cast<std::uint32_t>(entries.size() - 1),
                       static_cast<std::uint32_t>(names.size()),
                       static_cast<std::uint32_t>(definition.aliased.size())});
    names += definition.aliased;
  }
}

PageScopes::PageScopes(const NameScopes& scopes) {
  std::size_t size = 0;
  for (const LocalName& local : scopes.locals) size += local.name.size() + local.type.size();
  for (const ClassLines& lines : scopes.classes) size += lines.className.size();
  names.reserve(size);
  const auto add = [this](std::string_view name, std::string_view type, std::uint64_t first,
                          std::uint64_t last, bool function) {
    constexpr std::uint64_t kLongest = std::numeric_limits<std::uint32_t>::max();
    if (type.size() > Stretch::kLongestType) type = {};
    const Stretch stretch{first,
                          static_cast<std::uint32_t>(names.size()),
                          static_cast<std::uint32_t>(name.size()),
                          static_cast<std::uint32_t>(type.size()),
                          function,
                          static_cast<std::uint32_t>(std::min(last - first, kLongest))};
    names += name;
    names += type;
    return stretch;
  };
  locals.reserve(scopes.locals.size());
  for (const LocalName& local : scopes.locals) {
    locals.push_back(add(local.name, local.type, local.first, local.last, local.function));
  }
  classes.reserve(scopes.classes.size());
  for (const ClassLines& lines : scopes.classes) {
    classes.push_back(add(lines.className, {}, lines.first, lines.last, lines.memberFunction));
  }
  // Of stretches that start on one line, the outer goes first.
  const auto byFirst = [](const Stretch& a, const Stretch& b) {
    return a.first != b.first ? a.first < b.first : a.span > b.span;
  };
  std::stable_sort(locals.begin(), locals.end(), byFirst);
  std::stable_sort(classes.begin(), classes.end(), byFirst);
}

const std::vector<std::uint32_t>& OpenClassBodies::At(std::uint64_t line) {
  for (; next_ < scopes_.classes.size() && scopes_.classes[next_].first <= line; ++next_) {
    if (scopes_.classes[next_].function) continue;
    EndBefore(scopes_.classes[next_].first);
    open_.push_back(static_cast<std::uint32_t>(next_));
  }
  EndBefore(line);
  return open_;
}

void OpenClassBodies::EndBefore(std::uint64_t line) {
  while (!open_.empty() && scopes_.classes[open_.back()].last() < line) open_.pop_back();
}

}  // namespace lexpaint
