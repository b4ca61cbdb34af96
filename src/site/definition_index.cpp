#include "definition_index.h"

#include <algorithm>
#include <cstring>

#include "code_lexer.h"
#include "markup_text.h"
#include "page_frame.h"
#include "worker_pool.h"

namespace lexpaint {
namespace {

// A list page is closed once it holds this many names, or this many definitions.
constexpr std::size_t kNamesPerListPage = 32;
constexpr std::size_t kDefinitionsPerListPage = 200;

// The first eight bytes of `name`, padded with zeros, as a number that orders as they do.
std::uint64_t Head(std::string_view name) {
  std::uint64_t head = 0;
  for (std::size_t k = 0; k < 8; ++k) {
    head = head << 8 | (k < name.size() ? static_cast<unsigned char>(name[k]) : 0u);
  }
  return head;
}

// The first eight bytes of `word`; a word shorter than that is padded with zeros and its size
// stands in its last byte, so two such words are the same if their prefixes are. The eighth byte
// of a name that can link is never a size, as no such name holds a control character.
std::uint64_t Prefix(std::string_view word) {
  char bytes[8] = {};
  std::memcpy(bytes, word.data(), std::min<std::size_t>(word.size(), 8));
  if (word.size() < 8) bytes[7] = static_cast<char>(word.size());
  std::uint64_t prefix;
  std::memcpy(&prefix, bytes, 8);
  return prefix;
}

// Whether a definition of a source file is seen by that file's translation unit alone: a macro,
// an enumerator, or an internal definition (Definition::internal) but a member function, which a
// virtual call through a base may reach. Another type may be declared in a header, as "struct
// S;", and named through it.
bool KeptInItsFile(const PageDefinitions::Entry& entry) {
  switch (entry.kind) {
    case Definition::kMacro:
    case Definition::kEnumerator:
      return true;
    case Definition::kFunction:
      return entry.internal && entry.scopeKind != Definition::kInClass;
    default:
      return entry.internal;
  }
}

// Whether a definition made so is made in a scope that has a name: a class, namespace or enum, or
// its qualifier.
bool IsNamedScope(Definition::ScopeKind kind) {
  return kind != Definition::kNoScope && kind != Definition::kInBody;
}

// A tags file's fields end at a tab and its lines at a line feed. Looked for a byte at a time, as
// find_first_of calls memchr for every byte.
bool FitsTagsFile(std::string_view text) {
  return std::none_of(text.begin(), text.end(),
                      [](char c) { return c == '\t' || c == '\n' || c == '\r'; });
}

// A definition as the index sorts them, with its name and line beside it, which the comparisons
// need; most names differ in their first eight bytes, which compare as one number, and most of the
// rest, such as macros of one family, in their next eight.
struct Sortable {
  std::uint64_t head;
  std::uint64_t next;  // the Head of the bytes after the first eight
  std::string_view name;
  std::uint64_t line;
  DefinitionIndex::Place place;
  Definition::Kind kind;
  bool word;  // only a word, which the highlighter may ask about, can link
};

// By name, then page, then line, then the order found.
bool Before(const Sortable& a, const Sortable& b) {
  if (a.head != b.head) return a.head < b.head;
  if (a.next != b.next) return a.next < b.next;
  // Names of the same size up to sixteen bytes are the same if their first sixteen are.
  if (a.name.size() != b.name.size() || a.name.size() > 16) {
    const int byName = a.name.compare(b.name);
    if (byName != 0) return byName < 0;
  }
  if (a.place.page != b.place.page) return a.place.page < b.place.page;
  if (a.line != b.line) return a.line < b.line;
  // Such as an enum and the typedef that names it on one line: in the order found, so that the
  // order is the same however the definitions were split for sorting.
  return a.place.definition < b.place.definition;
}

// Most names that differ differ in their first sixteen bytes, which are at hand: only longer
// names are read, from the pages' memory, all over the heap.
bool SameName(const Sortable& a, const Sortable& b) {
  return a.head == b.head && a.next == b.next && a.name.size() == b.name.size() &&
         (a.name.size() <= 16 || a.name == b.name);
}

// The definitions of the pages [first, end), sorted into `sorted`, which has room for them.
void SortDefinitions(const SitePlan& plan, std::size_t first, std::size_t end,
                     std::vector<Sortable>& sorted) {
  for (std::size_t page = first; page < end; ++page) {
    const PageDefinitions& definitions = plan.pages[page].scan.definitions;
    for (std::size_t d = 0; d < definitions.entries.size(); ++d) {
      const PageDefinitions::Entry& entry = definitions.entries[d];
      const std::string_view name = definitions.NameOf(entry);
      sorted.push_back({Head(name),
                        name.size() > 8 ? Head(name.substr(8)) : 0,
                        name,
                        entry.line,
                        {static_cast<std::uint32_t>(page), static_cast<std::uint32_t>(d)},
                        entry.kind,
                        IsWordText(name)});
    }
  }
  std::sort(sorted.begin(), sorted.end(), Before);
}

// The definitions of `plan` in sorted parts: the pages are split into a run for each thread,
// of about as many definitions each, whose definitions are sorted side by side. The parts'
// memory is taken on this thread, whose heap is the one that grows in huge pages.
std::vector<std::vector<Sortable>> SortedParts(const SitePlan& plan, unsigned threads) {
  const std::size_t count = std::max(1u, std::min<unsigned>(threads, 8));
  std::size_t total = 0;
  for (const SitePage& page : plan.pages) total += page.scan.definitions.entries.size();
  // Part p holds the pages from firstPages[p] to firstPages[p + 1].
  std::vector<std::size_t> firstPages(count + 1, plan.pages.size());
  firstPages[0] = 0;
  std::vector<std::vector<Sortable>> parts(count);
  std::size_t part = 0, seen = 0, partStart = 0;  // definitions before the page, and the part
  for (std::size_t page = 0; page < plan.pages.size(); ++page) {
    while (part + 1 < count && seen >= total * (part + 1) / count) {
      parts[part].reserve(seen - partStart);
      firstPages[++part] = page;
      partStart = seen;
    }
    seen += plan.pages[page].scan.definitions.entries.size();
  }
  parts[part].reserve(seen - partStart);
  ParallelFor(count, threads, [&](std::size_t p) {
    SortDefinitions(plan, firstPages[p], firstPages[p + 1], parts[p]);
  });
  return parts;
}

// Hands every definition of the sorted `parts` to `take`, in order, merging them as it goes
// rather than into a copy.
template <class Take>
void MergeParts(const std::vector<std::vector<Sortable>>& parts, const Take& take) {
  std::vector<std::size_t> next(parts.size());
  for (;;) {
    std::size_t from = parts.size();
    for (std::size_t part = 0; part < parts.size(); ++part) {
      if (next[part] == parts[part].size()) continue;
      if (from == parts.size() || Before(parts[part][next[part]], parts[from][next[from]])) {
        from = part;
      }
    }
    if (from == parts.size()) return;
    take(parts[from][next[from]++]);
  }
}

}  // namespace

std::string ChooseNamesFolder(const SitePlan& plan, std::string base) {
  std::string name = std::move(base);
  const auto taken = [&plan](std::string_view folder) {
    for (std::size_t sub : plan.folders[0].subfolders) {
      if (plan.folders[sub].sitePath == folder) return true;
    }
    return false;
  };
  while (taken(name)) name += '_';
  return name;
}

DefinitionIndex::DefinitionIndex(const SitePlan& plan, std::string namesFolder, unsigned threads)
    : plan_(plan), namesFolder_(std::move(namesFolder)) {
  const std::vector<std::vector<Sortable>> parts = SortedParts(plan, threads);
  std::size_t count = 0;
  for (const std::vector<Sortable>& part : parts) count += part.size();
  all_.reserve(count);
  targets_.reserve(count);
  const Sortable* previous = nullptr;
  bool linkable = false;  // the current name can be a link target
  bool added = false;     // names_ ends with the current name
  MergeParts(parts, [&](const Sortable& s) {
    all_.push_back({s.name, s.line, s.place.page, s.kind});
    if (previous == nullptr || !SameName(s, *previous)) {
      linkable = s.word;
      added = false;
    }
    previous = &s;
    if (s.kind == Definition::kNamespace) namespaces_.push_back(Hash(s.name));
    if (s.kind == Definition::kNamespace || s.kind == Definition::kEnum) {
      const PageDefinitions::Entry& entry = EntryAt(s.place);
      if (IsNamedScope(entry.scopeKind)) {
        nestedScopes_.push_back(
            NestKey(s.name, plan_.pages[s.place.page].scan.definitions.ScopeOf(entry)));
      }
    }
    if (s.kind == Definition::kNamespace || !linkable) return;
    if (!added) {
      names_.push_back({s.name, static_cast<std::uint32_t>(targets_.size()), 0, 0});
      added = true;
    }
    ++names_.back().count;
    names_.back().macro |= s.kind == Definition::kMacro;
    targets_.push_back(s.place);
  });
  std::sort(namespaces_.begin(), namespaces_.end());
  namespaces_.erase(std::unique(namespaces_.begin(), namespaces_.end()), namespaces_.end());
  std::sort(nestedScopes_.begin(), nestedScopes_.end());
  nestedScopes_.erase(std::unique(nestedScopes_.begin(), nestedScopes_.end()), nestedScopes_.end());
  std::size_t capacity = 16;
  while (capacity < 2 * names_.size()) capacity *= 2;
  table_.assign(capacity, Slot{0, 0});
  // Eight bits for each slot of the table, so sixteen or more for each name.
  int filterBits = 3;
  while (std::size_t{1} << (filterBits - 3) < capacity) ++filterBits;
  filterShift_ = 32 - filterBits;
  filter_.assign((std::size_t{1} << filterBits) / 64, 0);
  for (std::size_t n = 0; n < names_.size(); ++n) {
    if (names_[n].count > kMaxLinkedDefinitions) continue;
    const std::uint64_t hash = Hash(names_[n].name);
    const std::uint32_t bit = static_cast<std::uint32_t>(hash) >> filterShift_;
    filter_[bit / 64] |= std::uint64_t{1} << bit % 64;
    std::size_t slot = hash & (capacity - 1);
    while (table_[slot].hashAndName != 0) slot = (slot + 1) & (capacity - 1);
    table_[slot] = {hash << 32 | (n + 1), Prefix(names_[n].name)};
  }
  listUsed_.reset(new std::atomic<bool>[names_.size()]());
  classTargets_.reset(new std::atomic<std::uint32_t>[names_.size()]);
  for (std::size_t n = 0; n < names_.size(); ++n) {
    classTargets_[n].store(kUnknownClass, std::memory_order_relaxed);
  }
  PlanListPages();
  NumberListedTargets();
  MarkMembers();
  MarkClassPages();
  ReadBases();
  MarkUnseen();
  for (const SitePage& page : plan_.pages) memberTypes_.Add(page.scan.scopes);
  memberTypes_.Finish();
}

void DefinitionIndex::PlanListPages() {
  std::size_t listedNames = 0, listedDefinitions = kDefinitionsPerListPage;
  for (std::size_t n = 0; n < names_.size(); ++n) {
    Targets& targets = names_[n];
    if (!HasList(targets)) continue;
    if (listedNames == kNamesPerListPage || listedDefinitions >= kDefinitionsPerListPage) {
      listPages_.push_back({static_cast<std::uint32_t>(n), static_cast<std::uint32_t>(n), ""});
      listPages_.back().href = EncodeHref(ListPagePath(listPages_.size() - 1));
      listedNames = listedDefinitions = 0;
    }
    targets.listPage = static_cast<std::uint32_t>(listPages_.size() - 1);
    listPages_.back().end = static_cast<std::uint32_t>(n + 1);
    ++listedNames;
    listedDefinitions += targets.count;
  }
}

void DefinitionIndex::NumberListedTargets() {
  firstDefinitions_.reserve(plan_.pages.size() + 1);
  firstDefinitions_.push_back(0);
  for (const SitePage& page : plan_.pages) {
    firstDefinitions_.push_back(firstDefinitions_.back() + page.scan.definitions.entries.size());
  }
  listedTargets_.assign(firstDefinitions_.back(), kUnlisted);
  for (const Targets& targets : names_) {
    if (!HasList(targets)) continue;
    for (std::uint32_t t = targets.first; t < targets.first + targets.count; ++t) {
      listedTargets_[firstDefinitions_[targets_[t].page] + targets_[t].definition] = t;
    }
  }
}

// A list page is named after its first name.
std::string DefinitionIndex::ListPagePath(std::uint32_t listPage) const {
  return namesFolder_ + "/" + std::string(names_[listPages_[listPage].first].name) + ".html";
}

// Eight bytes at a time, as every identifier of every page is hashed.
std::uint32_t DefinitionIndex::Hash(std::string_view word) {
  constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
  std::uint64_t hash = word.size() * kMultiplier;
  const char* p = word.data();
  std::size_t left = word.size();
  for (; left >= 8; p += 8, left -= 8) {
    std::uint64_t bytes;
    std::memcpy(&bytes, p, 8);
    hash = (hash ^ bytes) * kMultiplier;
    hash ^= hash >> 29;
  }
  std::uint64_t tail = 0;
  for (std::size_t k = 0; k < left; ++k)
    tail |= std::uint64_t{static_cast<unsigned char>(p[k])} << 8 * k;
  hash = (hash ^ tail) * kMultiplier;
  return static_cast<std::uint32_t>(hash >> 32);
}

std::uint32_t DefinitionIndex::LinkedName(std::string_view word, std::uint32_t wordHash) const {
  const std::uint64_t hash = wordHash;
  const std::uint32_t bit = static_cast<std::uint32_t>(hash) >> filterShift_;
  if ((filter_[bit / 64] >> bit % 64 & 1) == 0) return kUnlinked;
  const std::uint64_t prefix = Prefix(word);
  const std::size_t mask = table_.size() - 1;
  for (std::size_t slot = hash & mask; table_[slot].hashAndName != 0; slot = (slot + 1) & mask) {
    if (table_[slot].hashAndName >> 32 != hash || table_[slot].prefix != prefix) continue;
    const auto name = static_cast<std::uint32_t>(table_[slot].hashAndName - 1);
    if (word.size() < 8 || names_[name].name == word) return name;
  }
  return kUnlinked;
}

const PageDefinitions::Entry& DefinitionIndex::EntryAt(Place place) const {
  return plan_.pages[place.page].scan.definitions.entries[place.definition];
}

// The list pages' folder is none that holds pages, so a list page is reached through the root.
std::string DefinitionIndex::Href(std::size_t page, std::string_view toRoot,
                                  std::uint32_t name) const {
  const Targets& targets = names_[name];
  if (targets.count > 1) {
    listUsed_[name].store(true, std::memory_order_relaxed);
    std::string href;
    href.reserve(toRoot.size() + listPages_[targets.listPage].href.size() + 1 +
                 targets.name.size());
    href.append(toRoot);
    AppendListHref(href, name);
    return href;
  }
  return LineHref(page, targets_[targets.first]);
}

std::string DefinitionIndex::LineHref(std::size_t page, Place place) const {
  std::string href = RelativeHref(plan_.pages[page].path, plan_.pages[place.page].path);
  href.append("#L");
  AppendNumber(href, EntryAt(place).line);
  return href;
}

void DefinitionIndex::AppendListHref(std::string& out, std::uint32_t name) const {
  out.append(listPages_[names_[name].listPage].href).append(1, '#');
  AppendEncodedHref(out, names_[name].name);
}

std::vector<DefinitionIndex::ListPage> DefinitionIndex::LinkedListPages() const {
  std::vector<ListPage> pages;
  for (std::uint32_t p = 0; p < listPages_.size(); ++p) {
    ListPage page{ListPagePath(p), {}};
    for (std::size_t n = listPages_[p].first; n < listPages_[p].end; ++n) {
      if (listUsed_[n].load(std::memory_order_relaxed)) {
        page.names.push_back({names_[n].name, names_[n].first, names_[n].count, {}, {}});
      }
      const std::pair<std::uint32_t, std::string> from(static_cast<std::uint32_t>(n), "");
      for (auto s = sections_.lower_bound(from); s != sections_.end() && s->first.first == n; ++s) {
        page.names.push_back(
            {names_[n].name, names_[n].first, names_[n].count, s->first.second, s->second});
      }
    }
    if (!page.names.empty()) pages.push_back(std::move(page));
  }
  return pages;
}

std::vector<std::uint32_t> DefinitionIndex::ListOrder(const NameList& name) const {
  std::vector<std::uint32_t> order;
  order.reserve(name.count);
  std::vector<char> taken(name.count, 0);
  const auto take = [&](std::uint32_t i) {
    order.push_back(name.first + i);
    taken[i] = 1;
  };
  const auto kindAt = [&](std::uint32_t i) { return EntryAt(targets_[name.first + i]).kind; };
  const auto pageAt = [&](std::uint32_t i) { return targets_[name.first + i].page; };
  // The targets are sorted by page, so the first type of a page takes the functions of its run.
  std::uint32_t runEnd = 0;  // the end of the run of the page of the last type taken
  for (std::uint32_t t = 0; t < name.count; ++t) {
    if (!IsTypeKind(kindAt(t))) continue;
    take(t);
    if (t < runEnd) continue;
    std::uint32_t runStart = t;
    for (; runStart > 0 && pageAt(runStart - 1) == pageAt(t);) --runStart;
    for (runEnd = t + 1; runEnd < name.count && pageAt(runEnd) == pageAt(t);) ++runEnd;
    for (std::uint32_t f = runStart; f < runEnd; ++f) {
      if (!taken[f] && kindAt(f) == Definition::kFunction) take(f);
    }
  }
  for (std::uint32_t f = 0; f < name.count; ++f) {
    if (!taken[f] && kindAt(f) == Definition::kFunction) take(f);
  }
  for (std::uint32_t r = 0; r < name.count; ++r) {
    if (!taken[r]) take(r);
  }
  return order;
}

void DefinitionIndex::WriteTags(std::ostream& out) const {
  constexpr std::size_t kChunk = 64 * 1024;
  // By page, its file's path, or "" if the tags file cannot hold it.
  std::vector<std::string_view> files(plan_.pages.size());
  for (std::size_t page = 0; page < plan_.pages.size(); ++page) {
    const std::string& path = plan_.files[plan_.pages[page].file].path;
    if (FitsTagsFile(path)) files[page] = path;
  }
  std::string text =
      "!_TAG_FILE_FORMAT\t2\t/extended format/\n"
      "!_TAG_FILE_SORTED\t1\t/0=unsorted, 1=sorted, 2=foldcase/\n";
  for (const Tag& tag : all_) {
    if (files[tag.page].empty() || !FitsTagsFile(tag.name)) continue;
    text.append(tag.name);
    text += '\t';
    text.append(files[tag.page]);
    text += '\t';
    AppendNumber(text, tag.line);
    text.append(";\"\tkind:").append(KindName(tag.kind));
    text += '\n';
    if (text.size() >= kChunk) {
      out.write(text.data(), static_cast<std::streamsize>(text.size()));
      text.clear();
    }
  }
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

// Out-of-class definitions are members if their qualifier names a class of the tree.
void DefinitionIndex::MarkMembers() {
  members_.assign(targets_.size(), 0);
  scopeHashes_.assign(targets_.size(), 0);
  for (std::size_t t = 0; t < targets_.size(); ++t) {
    const PageDefinitions::Entry& entry = EntryAt(targets_[t]);
    if (IsNamedScope(entry.scopeKind)) {
      scopeHashes_[t] = Hash(ScopeOf(static_cast<std::uint32_t>(t))) | 1;
    }
    members_[t] = entry.scopeKind == Definition::kInClass ||
                  (entry.scopeKind == Definition::kQualified && IsClass(ScopeOf(t)));
  }
  for (std::size_t page = 0; page < plan_.pages.size(); ++page) MarkNestedMembers(page);
}

// A type made in a function's body is seen on its page alone. A source file that is compiled rather
// than included, and that no file of the tree includes, keeps to itself and the files it includes
// what no other translation unit can name (KeptInItsFile). Its other types, and their members,
// another file may name only as an opaque type ("struct S;") or reach through a base class, so
// they are meant there only where nothing else of the name is. No other file can call a member
// function of its classes that have no bases, except through a missed include: such a function
// alone is no guess worth a link.
void DefinitionIndex::MarkUnseen() {
  seen_.assign(targets_.size(), kSeenAnywhere);
  for (std::uint32_t t = 0; t < targets_.size(); ++t) {
    const PageDefinitions::Entry& entry = EntryAt(targets_[t]);
    const SitePage& page = plan_.pages[targets_[t].page];
    if (entry.scopeKind == Definition::kInBody) {
      seen_[t] = kSeenOnItsPage;
    } else if (page.includedBy.empty() && HasCompiledExtension(plan_.files[page.file].path)) {
      const bool ownMember = entry.scopeKind == Definition::kInClass &&
                             entry.kind == Definition::kFunction && !HasBases(ScopeOf(t));
      if (KeptInItsFile(entry)) {
        seen_[t] = kSeenByIncluders;
      } else if (ownMember) {
        seen_[t] = kSeenBesideOthers;
      } else if (IsTypeKind(entry.kind) || entry.scopeKind == Definition::kInClass) {
        seen_[t] = kSeenOtherwiseUnmet;
      }
    }
  }
}

std::uint64_t DefinitionIndex::NestKey(std::string_view name, std::string_view scope) {
  return std::uint64_t{Hash(name)} << 32 | Hash(scope);
}

std::vector<DefinitionIndex::Targets>::const_iterator DefinitionIndex::Find(
    std::string_view name) const {
  const auto found =
      std::lower_bound(names_.begin(), names_.end(), name,
                       [](const Targets& targets, std::string_view n) { return targets.name < n; });
  return found != names_.end() && found->name == name ? found : names_.end();
}

std::string_view DefinitionIndex::ScopeOf(std::uint32_t target) const {
  const Place place = targets_[target];
  const PageDefinitions& definitions = plan_.pages[place.page].scan.definitions;
  return definitions.ScopeOf(definitions.entries[place.definition]);
}

std::string DefinitionIndex::Href(std::size_t page, std::string_view toRoot,
                                  const Meaning& meaning) const {
  if (meaning.all) return Href(page, toRoot, meaning.name);
  if (meaning.targets.size() == 1) return LineHref(page, targets_[meaning.targets[0]]);
  {
    const std::lock_guard<std::mutex> lock(sectionsMutex_);
    const std::pair<std::uint32_t, std::string_view> key(meaning.name, meaning.section);
    if (sections_.find(key) == sections_.end()) {
      sections_.emplace(std::make_pair(meaning.name, meaning.section), meaning.targets);
    }
  }
  const std::string& list = listPages_[names_[meaning.name].listPage].href;
  std::string href;
  href.append(toRoot).append(list).append(1, '#');
  AppendEncodedHref(href, meaning.section);
  return href;
}

}  // namespace lexpaint
