#include "page_links.h"

#include <algorithm>

#include "code_lexer.h"
#include "markup_text.h"
#include "page_frame.h"
#include "use_index.h"

namespace lexpaint {
namespace {

// The page `from` of the `pages`, and those that neighbours(page, visit) visits from it, directly
// or not; breadth first.
template <class Neighbours>
PageSet Reached(std::size_t pages, std::size_t from, const Neighbours& neighbours) {
  PageSet reached(pages);
  std::vector<std::size_t> found{from};
  reached.Add(from);
  for (std::size_t next = 0; next < found.size(); ++next) {
    neighbours(found[next], [&](std::size_t page) {
      if (reached.Add(page)) found.push_back(page);
    });
  }
  return reached;
}

// Whether template arguments follow `word`, which views its line in place: in a class
// template's body, "C<int>" may be another specialization than the one whose body it is.
bool TemplateArgumentsFollow(std::string_view word) {
  const char* p = word.data() + word.size();
  while (*p == ' ' || *p == '\t') ++p;
  return *p == '<';
}

}  // namespace

PageLinks::PageLinks(const DefinitionIndex& index, const SitePlan& plan, std::size_t page,
                     std::size_t textWidth, ListedTexts& texts)
    : index_(index),
      plan_(plan),
      page_(page),
      nameUses_(plan.pages[page].scan.scopes, &index),
      toRoot_(RelativeHref(plan.pages[page].path, "")),
      texts_(texts),
      textWidth_(textWidth) {
  const PageDefinitions& definitions = plan.pages[page].scan.definitions;
  for (std::size_t d = 0; d < definitions.entries.size(); ++d) {
    const PageDefinitions::Entry& entry = definitions.entries[d];
    definitions_.push_back({entry.line, definitions.NameOf(entry), index.ListedTarget(page, d)});
    if (entry.kind == Definition::kMacro) {
      macros_.push_back({definitions.NameOf(entry), entry.line});
    } else if (IsClassKind(entry.kind)) {
      classes_.push_back({definitions.NameOf(entry), entry.line});
    }
  }
  std::sort(macros_.begin(), macros_.end());
  std::sort(classes_.begin(), classes_.end());
  std::sort(definitions_.begin(), definitions_.end(),
            [](const Defined& a, const Defined& b) { return a.line < b.line; });
}

// Every listed definition on the line of `word`, definitions_[first] on, keeps the line's text.
// `word` lies in its line, which a line feed ends and another precedes.
void PageLinks::KeepText(std::string_view word, std::size_t first) {
  std::uint32_t kept = DefinitionIndex::kUnlisted;  // the target that kept the text first
  for (std::size_t d = first;
       d < definitions_.size() && definitions_[d].line == definitions_[first].line; ++d) {
    if (!Unkept(definitions_[d])) continue;
    const std::uint32_t target = definitions_[d].listed;
    if (kept != DefinitionIndex::kUnlisted) {
      texts_.Share(target, kept);
      continue;
    }
    const char* begin = word.data();
    while (begin[-1] != '\n') --begin;
    const char* end = word.data() + word.size();
    while (*end != '\n') ++end;
    texts_.Keep(
        target, page_,
        ShownLine(std::string_view(begin, static_cast<std::size_t>(end - begin)), textWidth_));
    kept = target;
  }
}

std::vector<std::uint64_t> PageLinks::UnkeptLines() const {
  std::vector<std::uint64_t> lines;
  for (const Defined& defined : definitions_) {
    if (!Unkept(defined)) continue;
    if (lines.empty() || lines.back() != defined.line) lines.push_back(defined.line);
  }
  return lines;
}

void PageLinks::KeepTexts(const std::vector<std::uint64_t>& lines,
                          const std::vector<std::string>& lineTexts) {
  std::size_t k = 0;
  for (const Defined& defined : definitions_) {
    if (!Unkept(defined)) continue;
    while (k < lines.size() && lines[k] < defined.line) ++k;
    if (k == lines.size() || lines[k] != defined.line) continue;
    texts_.Keep(defined.listed, page_, lineTexts[k]);
  }
}

std::string_view PageLinks::Href(std::string_view word, std::uint64_t line) {
  // A word right after a word byte is the rest of a number, as the 'A' of 0x0A or the 'u' of 1u.
  if (IsWordByte(word.data()[-1])) return "";
  while (next_ < definitions_.size() && definitions_[next_].line < line) ++next_;
  for (std::size_t d = next_; d < definitions_.size() && definitions_[d].line == line; ++d) {
    if (definitions_[d].name != word) continue;
    KeepText(word, next_);
    return DefinitionHref(word);
  }
  const std::uint32_t name = index_.LinkedName(word);
  if (name == DefinitionIndex::kUnlinked) return "";
  const std::string_view href = NameHref(name, word, line);
  if (uses_ != nullptr && !href.empty()) uses_->Record(name, line, word, textWidth_);
  return href;
}

// In order: the macro of the page in effect, as the preprocessor replaces the name whatever it
// stands for; nowhere for a data member; a local name's own line, if any; in the body of a class
// of this page, its own name means that class; else what the name means, worked out once.
std::string_view PageLinks::NameHref(std::uint32_t name, std::string_view word,
                                     std::uint64_t line) {
  if (index_.HasMacro(name)) {
    if (const std::optional<std::uint64_t> defined = LastBefore(macros_, word, line)) {
      return LineOfPageHref(*defined);
    }
  }
  const NameUse use = nameUses_.At(word, line);
  if (use.kind == NameUse::kData) return "";
  if (use.kind == NameUse::kLocal) return LocalHref(word, use.declared);
  if (use.kind == NameUse::kPlain && use.scope == word && !TemplateArgumentsFollow(word)) {
    if (const std::optional<std::uint64_t> own = LastBefore(classes_, word, line)) {
      return LineOfPageHref(*own);
    }
  }
  return CachedHref(name, word, use);
}

// A local name links nowhere, but for a type or alias that the page defines where the name is
// declared: it links to that line.
std::string_view PageLinks::LocalHref(std::string_view word, std::uint64_t declared) {
  const auto first = std::lower_bound(
      definitions_.begin(), definitions_.end(), declared,
      [](const Defined& defined, std::uint64_t line) { return defined.line < line; });
  for (auto d = first; d != definitions_.end() && d->line == declared; ++d) {
    if (d->name == word) return LineOfPageHref(declared);
  }
  return "";
}

std::optional<std::uint64_t> PageLinks::LastBefore(const std::vector<Named>& named,
                                                   std::string_view word, std::uint64_t line) {
  if (named.empty()) return std::nullopt;
  const auto after = std::lower_bound(named.begin(), named.end(), Named{word, line});
  if (after == named.begin() || std::prev(after)->name != word) return std::nullopt;
  return std::prev(after)->line;
}

std::string_view PageLinks::LineOfPageHref(std::uint64_t line) {
  localHref_ = PageHref(static_cast<std::uint32_t>(page_));
  localHref_.append("#L");
  AppendNumber(localHref_, line);
  return localHref_;
}

// What a name means follows from its number, its use's kind and its use's scope, so an href is
// worked out once for each of those on a page. The plain uses in a class's stretch view its name
// in one place that lasts as long as the page, whose hash is kept.
std::uint32_t PageLinks::KeyOf(std::uint32_t name, const NameUse& use) {
  std::uint32_t scope = 0;
  if (use.kind == NameUse::kPlain && use.scope.data() == classScope_.data() &&
      use.scope.size() == classScope_.size()) {
    scope = classScopeHash_;
  } else if (!use.scope.empty()) {
    scope = DefinitionIndex::Hash(use.scope);
    if (use.kind == NameUse::kPlain) {
      classScope_ = use.scope;
      classScopeHash_ = scope;
    }
  }
  const std::uint64_t key = (std::uint64_t{name} << 32 | scope) ^ use.kind;
  return static_cast<std::uint32_t>((key * 0x9E3779B97F4A7C15ull) >> 32);
}

const std::string& PageLinks::CachedHref(std::uint32_t name, std::string_view word,
                                         const NameUse& use) {
  if (2 * (hrefs_.size() + 1) > slots_.size()) {
    slots_.assign(std::max<std::size_t>(64, 2 * slots_.size()), 0);
    for (std::size_t h = 0; h < hrefs_.size(); ++h) {
      std::size_t slot = hrefs_[h].key & (slots_.size() - 1);
      while (slots_[slot] != 0) slot = (slot + 1) & (slots_.size() - 1);
      slots_[slot] = static_cast<std::uint32_t>(h + 1);
    }
  }
  const std::uint32_t key = KeyOf(name, use);
  std::size_t slot = key & (slots_.size() - 1);
  for (; slots_[slot] != 0; slot = (slot + 1) & (slots_.size() - 1)) {
    const Worked& worked = hrefs_[slots_[slot] - 1];
    if (worked.key == key && worked.name == name && worked.kind == use.kind &&
        worked.scope == use.scope) {
      return worked.href;
    }
  }
  DefinitionIndex::Meaning meaning;
  if (use.kind == NameUse::kPlain && use.scope.empty() && index_.NameAt(name).count == 1) {
    meaning.name = name;
    meaning.all = true;
  } else {
    meaning = index_.Resolve(name, word, use);
  }
  if (meaning.name != DefinitionIndex::kUnlinked && !meaning.overrides &&
      index_.MayBeUnseen(meaning)) {
    meaning = index_.SeenFrom(std::move(meaning), word, page_, IncluderClosure());
  }
  std::string href = meaning.name == DefinitionIndex::kUnlinked
                         ? std::string()
                         : MeaningHref(std::move(meaning), word);
  hrefs_.push_back({key, name, use.kind, std::string(use.scope), std::move(href)});
  slots_[slot] = static_cast<std::uint32_t>(hrefs_.size());
  return hrefs_.back().href;
}

// A name defined in several places links to the definitions the page can see through its
// includes, if it sees any.
std::string PageLinks::MeaningHref(DefinitionIndex::Meaning meaning, std::string_view word) {
  const std::size_t count =
      meaning.all ? index_.NameAt(meaning.name).count : meaning.targets.size();
  if (count > 1 && !meaning.overrides && index_.OnSeveralPages(meaning)) {
    meaning = index_.Nearest(std::move(meaning), word, IncludeClosure());
  }
  if (meaning.all && count == 1) return LineHref(index_.NameAt(meaning.name).first);
  if (!meaning.all && meaning.targets.size() == 1) return LineHref(meaning.targets[0]);
  return index_.Href(page_, toRoot_, meaning);
}

// As DefinitionIndex::Href for a single target, but with the href of each page that such links
// lead to worked out once.
std::string PageLinks::LineHref(std::uint32_t target) {
  const DefinitionIndex::Place place = index_.TargetAt(target);
  const std::string& page = PageHref(place.page);
  std::string href;
  href.reserve(page.size() + 12);
  href.append(page).append("#L");
  AppendNumber(href, plan_.pages[place.page].scan.definitions.entries[place.definition].line);
  return href;
}

const std::string& PageLinks::PageHref(std::uint32_t page) {
  auto found = pageHrefs_.find(page);
  if (found == pageHrefs_.end()) {
    found = pageHrefs_.emplace(page, RelativeHref(plan_.pages[page_].path, plan_.pages[page].path))
                .first;
  }
  return found->second;
}

const PageSet& PageLinks::IncludeClosure() {
  if (!closure_) {
    closure_.emplace(Reached(plan_.pages.size(), page_, [&](std::size_t page, const auto& visit) {
      for (const std::optional<std::size_t>& included : plan_.pages[page].includePages) {
        if (included) visit(*included);
      }
    }));
  }
  return *closure_;
}

const PageSet& PageLinks::IncluderClosure() {
  if (!includers_) {
    includers_.emplace(Reached(plan_.pages.size(), page_, [&](std::size_t page, const auto& visit) {
      for (const std::size_t includer : plan_.pages[page].includedBy) visit(includer);
    }));
  }
  return *includers_;
}

std::string_view PageLinks::DefinitionHref(std::string_view word) {
  if (useIndex_ == nullptr) return "";
  const std::uint32_t name = index_.LinkedName(word);
  if (name == DefinitionIndex::kUnlinked) return "";
  definitionHref_ = useIndex_->Href(toRoot_, name);
  return definitionHref_;
}

}  // namespace lexpaint
