#ifndef LEXPAINT_SITE_SOURCE_SCAN_H_
#define LEXPAINT_SITE_SOURCE_SCAN_H_

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "definition_finder.h"

namespace lexpaint {

// A name that an #include line of a file names.
struct IncludedName {
  std::string name;
  bool angled = false;
};

// The definitions of a page, held compactly: their names side by side in one string.
struct PageDefinitions {
  struct Entry {
    std::uint32_t offset;  // of the name in `names`
    std::uint32_t size;
    std::uint64_t line;
    Definition::Kind kind;
    Definition::ScopeKind scopeKind;
    bool internal;              // as Definition::internal
    std::uint32_t scopeOffset;  // of the scope's name in `names`
    std::uint32_t scopeSize;
  };
  // A base class of the class entries[entry], its name in `names`.
  struct Base {
    std::uint32_t entry;
    std::uint32_t offset;
    std::uint32_t size;
  };
  std::string names;
  std::vector<Entry> entries;  // in the order found
  std::vector<Base> bases;     // in the order of their classes
  std::vector<Base> aliases;   // of a type alias entries[entry], the type it stands for

  void Add(const Definition& definition);
  std::string_view NameOf(const Base& base) const {
    return std::string_view(names).substr(base.offset, base.size);
  }
  std::string_view NameOf(const Entry& entry) const {
    return std::string_view(names).substr(entry.offset, entry.size);
  }
  std::string_view ScopeOf(const Entry& entry) const {
    return std::string_view(names).substr(entry.scopeOffset, entry.scopeSize);
  }
};

// What else decides the meaning of a page's names: its local names and class stretches (see
// NameScopes), held compactly, their names side by side in one string.
struct PageScopes {
  // 24 bytes, as a tree has millions: a stretch of more than 2^32 lines, which only a file of
  // over 4 GiB could hold, is taken to end there.
  struct Stretch {
    std::uint64_t first;
    std::uint32_t offset;  // of the name in `names`; a local's type's name follows it
    std::uint32_t size;
    std::uint32_t typeSize : 31;  // of a local's type's name, as LocalName::type
    std::uint32_t function : 1;   // as LocalName::function; of a class's, as memberFunction
    std::uint32_t span;           // the lines after `first` that it covers
    std::uint64_t last() const { return first + span; }
    static constexpr std::uint32_t kLongestType = (std::uint32_t{1} << 31) - 1;
  };
  std::string names;
  std::vector<Stretch> locals;   // by first line
  std::vector<Stretch> classes;  // by first line

  PageScopes() = default;
  explicit PageScopes(const NameScopes& scopes);
  std::string_view NameOf(const Stretch& stretch) const {
    return std::string_view(names).substr(stretch.offset, stretch.size);
  }
  // Whether `stretch`'s name is `name`: most names differ in their size or their first byte.
  bool Names(const Stretch& stretch, std::string_view name) const {
    return stretch.size == name.size() && !name.empty() && names[stretch.offset] == name[0] &&
           NameOf(stretch) == name;
  }
  std::string_view TypeOf(const Stretch& stretch) const {
    return std::string_view(names).substr(stretch.offset + stretch.size, stretch.typeSize);
  }
};

// The qualifier and the name of a type as LocalName::type gives it: "ns" and "Box" of "ns::Box",
// "" and "Box" of "Box".
struct SplitType {
  explicit SplitType(std::string_view type) {
    const std::size_t colons = type.rfind("::");
    if (colons != std::string_view::npos) qualifier = type.substr(0, colons);
    name = colons == std::string_view::npos ? type : type.substr(colons + 2);
  }
  std::string_view qualifier;
  std::string_view name;
};

// The class bodies of a page that are open on a line, for one pass over its lines in order. Class
// stretches nest or follow each other, outer ones first, so those open form a stack.
class OpenClassBodies {
 public:
  explicit OpenClassBodies(const PageScopes& scopes) : scopes_(scopes) {}
  // The indexes in scopes.classes of the bodies open on `line`, innermost last; `line` may not be
  // before that of the last call. Bodies of member functions are left out.
  const std::vector<std::uint32_t>& At(std::uint64_t line);

 private:
  void EndBefore(std::uint64_t line);

  const PageScopes& scopes_;
  std::size_t next_ = 0;
  std::vector<std::uint32_t> open_;
};

// What a site needs to know of a source file before it writes any page.
struct SourceScan {
  std::vector<IncludedName> includes;  // in the order of their lines
  std::uint64_t lines = 0;             // as the page numbers them
  bool readable = false;               // false if reading failed before the end
  PageDefinitions definitions;         // if they were looked for
  PageScopes scopes;                   // with the definitions
};

// Reads `source` to its end, a run of lines at a time, so memory follows its longest line.
SourceScan ScanSource(std::istream& source);
// Scans a whole file in place: `lines` as SourceText::lines gives them.
SourceScan ScanSource(std::string_view lines);

// `line`, the text of a line without its line end, as a list of definitions shows it: cut at a
// NUL, without white space at either end, and at most `width` bytes long, never inside a UTF-8
// sequence. ShownLine gives it as a part of `line`.
std::string_view ShownLine(std::string_view line, std::size_t width);
inline std::string ShownLineText(std::string_view line, std::size_t width) {
  return std::string(ShownLine(line, width));
}

// The text of the lines numbered `lines` (from 1, ascending) of `source`, each as ShownLineText
// shows it; "" for a line past the end.
std::vector<std::string> ReadLines(std::istream& source, const std::vector<std::uint64_t>& lines,
                                   std::size_t width);

// How much of a file StartsLikeSource needs.
inline constexpr std::size_t kSourceProbeSize = 4096;

// True if `head`, the first bytes of a file, looks like C or C++: it holds no NUL, and its first
// text after white space is a comment or a preprocessor directive (#include, #if, #ifdef, #ifndef,
// #define or #pragma). Headers without an extension, such as <vector>, start so.
bool StartsLikeSource(std::string_view head);

}  // namespace lexpaint

#endif  // LEXPAINT_SITE_SOURCE_SCAN_H_
