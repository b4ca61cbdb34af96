#include "search_index.h"

#include <algorithm>
#include <cstring>
#include <tuple>

#include "worker_pool.h"

namespace lexpaint {
namespace {

bool IsSmall(char c) { return c >= 'a' && c <= 'z'; }
bool IsCapital(char c) { return c >= 'A' && c <= 'Z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char Lowercase(char c) { return IsCapital(c) ? static_cast<char>(c - 'A' + 'a') : c; }

// The length of the encoded byte at the start of an encoded key.
std::size_t UnitLength(char first) { return first == '-' ? 3 : 1; }

// The length of the longest start of the encoded keys `a` and `b` that both share, in whole
// encoded bytes.
std::size_t CommonStart(std::string_view a, std::string_view b) {
  std::size_t common = 0;
  while (common < a.size() && common < b.size()) {
    const std::size_t unit = UnitLength(a[common]);
    if (a.compare(common, unit, b, common, unit) != 0) break;
    common += unit;
  }
  return common;
}

// The file of a run of names: named by its start, "-" for the first.
std::string RunName(std::string_view start) {
  return "names/" + (start.empty() ? std::string("-") : std::string(start));
}

// A query names a name if every byte of it can be in one.
bool IsNameQuery(std::string_view query) {
  return !query.empty() && std::all_of(query.begin(), query.end(), [](char c) {
    return IsSmall(c) || IsCapital(c) || IsDigit(c) || c == '_' || c == '$' ||
           static_cast<unsigned char>(c) >= 0x80;
  });
}

}  // namespace

bool StartsWord(std::string_view name, std::size_t at) {
  if (at == 0) return !name.empty();
  const char c = name[at], before = name[at - 1];
  if (before == '_' || before == '$') return c != '_' && c != '$';
  if (!IsCapital(c)) return false;
  return IsSmall(before) || IsDigit(before) ||
         (IsCapital(before) && at + 1 < name.size() && IsSmall(name[at + 1]));
}

namespace {

void AppendKey(std::string& key, char c) {
  static constexpr char kHex[] = "0123456789abcdef";
  c = Lowercase(c);
  if (IsSmall(c) || IsDigit(c) || c == '_') {
    key += c;
  } else {
    key += '-';
    key += kHex[static_cast<unsigned char>(c) >> 4];
    key += kHex[static_cast<unsigned char>(c) & 15];
  }
}

// The first eight bytes of an encoded key as a number that sorts as they do; keys hold no zero
// byte, so a shorter key sorts first.
std::uint64_t Head(std::string_view key) {
  if (key.size() >= 8) {
    unsigned char bytes[8];
    std::memcpy(bytes, key.data(), 8);
    return std::uint64_t{bytes[0]} << 56 | std::uint64_t{bytes[1]} << 48 |
           std::uint64_t{bytes[2]} << 40 | std::uint64_t{bytes[3]} << 32 |
           std::uint64_t{bytes[4]} << 24 | std::uint64_t{bytes[5]} << 16 |
           std::uint64_t{bytes[6]} << 8 | bytes[7];
  }
  std::uint64_t head = 0;
  for (std::size_t k = 0; k < 8; ++k) {
    head = head << 8 | (k < key.size() ? static_cast<unsigned char>(key[k]) : 0u);
  }
  return head;
}

}  // namespace

std::string EncodeKey(std::string_view text) {
  std::string key;
  key.reserve(text.size());
  for (char c : text) AppendKey(key, c);
  return key;
}

SearchIndex::SearchIndex(const SitePlan& plan, const DefinitionIndex* definitions, unsigned threads)
    : plan_(plan), definitions_(definitions) {
  if (definitions == nullptr) return;
  AddNames();
  SortKeys(threads);
  PlanRuns();
  PlanFirsts();
  ListRunNames();
  PlanOutlines();
  // What only the planning needs is let go, as the index is kept while the pages are written.
  std::string().swap(keyText_);
  std::vector<std::uint32_t>().swap(keyStarts_);
  std::vector<std::uint32_t>().swap(ranks_);
  std::vector<std::uint32_t>().swap(byRank_);
  std::vector<Key>().swap(keys_);
}

// The definition a name's entry shows: its first that is a type, if it has one.
std::uint32_t SearchIndex::ShownTarget(std::uint32_t name) const {
  const DefinitionIndex::NameList list = definitions_->NameAt(name);
  for (std::uint32_t t = list.first; t < list.first + list.count; ++t) {
    if (IsTypeKind(EntryOf(t).kind)) return t;
  }
  return list.first;
}

const PageDefinitions::Entry& SearchIndex::EntryOf(std::uint32_t target) const {
  const DefinitionIndex::Place place = definitions_->TargetAt(target);
  return plan_.pages[place.page].scan.definitions.entries[place.definition];
}

void SearchIndex::AddNames() {
  const std::size_t count = definitions_->nameCount();
  keyStarts_.reserve(count + 1);
  shown_.reserve(count);
  std::vector<char> types;
  types.reserve(count);
  std::size_t bytes = 0;
  for (std::uint32_t n = 0; n < count; ++n) bytes += definitions_->NameAt(n).name.size();
  keyText_.reserve(bytes);
  for (std::uint32_t n = 0; n < count; ++n) {
    const std::string_view name = definitions_->NameAt(n).name;
    const auto start = static_cast<std::uint32_t>(keyText_.size());
    keyStarts_.push_back(start);
    for (std::size_t at = 0; at < name.size(); ++at) {
      if (StartsWord(name, at)) {
        keys_.push_back({n, static_cast<std::uint32_t>(keyText_.size()) - start});
      }
      AppendKey(keyText_, name[at]);
    }
    shown_.push_back(ShownTarget(n));
    types.push_back(IsTypeKind(EntryOf(shown_.back()).kind));
  }
  keyStarts_.push_back(static_cast<std::uint32_t>(keyText_.size()));
  RankNames(types);
}

// The order of rank among names a query matches alike: the shorter first, then in
// case-insensitive order, types first, then in byte order. The page script ranks so. The names
// are put in order of their lengths first; most names of a length differ in the first eight bytes
// of their key, which compare as one number.
void SearchIndex::RankNames(const std::vector<char>& types) {
  const std::size_t count = types.size();
  std::vector<std::uint32_t> bounds(2);  // of the names of each length
  for (std::uint32_t n = 0; n < count; ++n) {
    const std::size_t size = definitions_->NameAt(n).name.size();
    if (size + 2 > bounds.size()) bounds.resize(size + 2);
    ++bounds[size + 1];
  }
  for (std::size_t b = 1; b < bounds.size(); ++b) bounds[b] += bounds[b - 1];
  struct Sortable {
    std::uint64_t head;
    std::uint32_t name;
  };
  std::vector<Sortable> sorted(count);
  std::vector<std::uint32_t> next(bounds.begin(), bounds.end() - 1);
  for (std::uint32_t n = 0; n < count; ++n) {
    sorted[next[definitions_->NameAt(n).name.size()]++] = {Head(KeyText(Key{n, 0})), n};
  }
  const auto rankOf = [this, &types](std::uint32_t n) {
    return std::make_tuple(KeyText(Key{n, 0}), !types[n], definitions_->NameAt(n).name);
  };
  for (std::size_t size = 0; size + 1 < bounds.size(); ++size) {
    std::sort(sorted.begin() + bounds[size], sorted.begin() + bounds[size + 1],
              [&](const Sortable& a, const Sortable& b) {
                if (a.head != b.head) return a.head < b.head;
                return rankOf(a.name) < rankOf(b.name);
              });
  }
  byRank_.resize(count);
  ranks_.resize(count);
  for (std::uint32_t r = 0; r < count; ++r) {
    byRank_[r] = sorted[r].name;
    ranks_[sorted[r].name] = r;
  }
}

std::string_view SearchIndex::KeyText(const Key& key) const {
  const std::uint32_t start = keyStarts_[key.name] + key.start;
  return std::string_view(keyText_).substr(start, keyStarts_[key.name + 1] - start);
}

// The keys are put in order of their first two bytes first, then each run of keys alike in those
// is sorted; the runs of each first byte side by side.
void SearchIndex::SortKeys(unsigned threads) {
  constexpr std::size_t kRuns = 1 << 16;
  std::vector<std::uint32_t> bounds(kRuns + 1);  // of the run of each first two bytes
  for (const Key& key : keys_) ++bounds[1 + (Head(KeyText(key)) >> 48)];
  for (std::size_t b = 1; b < bounds.size(); ++b) bounds[b] += bounds[b - 1];
  std::vector<SortableKey> sorted(keys_.size());
  std::vector<std::uint32_t> next(bounds.begin(), bounds.end() - 1);
  for (const Key& key : keys_) {
    const std::uint64_t head = Head(KeyText(key));
    sorted[next[head >> 48]++] = {head, key};
  }
  ParallelFor(kRuns >> 8, threads, [&](std::size_t first) {
    for (std::size_t run = first << 8; run < (first + 1) << 8; ++run) {
      if (bounds[run + 1] - bounds[run] > 1) {
        SortFrom(sorted.data() + bounds[run], sorted.data() + bounds[run + 1], 0);
      }
    }
  });
  for (std::size_t k = 0; k < sorted.size(); ++k) keys_[k] = sorted[k].key;
}

// Sorts keys whose first `depth` bytes are alike, and whose heads hold their next eight bytes, by
// those: most keys differ in them. Keys alike in them too are sorted by the eight bytes after, and
// so on; equal keys by name.
void SearchIndex::SortFrom(SortableKey* first, SortableKey* last, std::size_t depth) const {
  std::sort(first, last,
            [](const SortableKey& a, const SortableKey& b) { return a.head < b.head; });
  for (SortableKey* alike = first; alike != last;) {
    SortableKey* end = alike + 1;
    while (end != last && end->head == alike->head) ++end;
    if (end - alike > 1 && (alike->head & 0xFF) != 0) {  // keys of more than depth + 8 bytes
      for (SortableKey* key = alike; key != end; ++key) {
        key->head = Head(KeyText(key->key).substr(depth + 8));
      }
      SortFrom(alike, end, depth + 8);
    } else if (end - alike > 1) {
      std::sort(alike, end,
                [](const SortableKey& a, const SortableKey& b) { return a.key.name < b.key.name; });
    }
    alike = end;
  }
}

// Runs of about kPartBytes of entries each. A run ends, in the last quarter of its room, where
// the keys on either side share the shortest start, so that few prefixes are split among runs;
// equal keys stay in one run.
void SearchIndex::PlanRuns() {
  const auto bytesOf = [this](const Key& key) {
    return definitions_->NameAt(key.name).name.size() + 24;  // about what its entry takes
  };
  for (std::size_t first = 0; first < keys_.size();) {
    std::size_t end = first, bytes = 0;
    while (end < keys_.size() && (end == first || bytes + bytesOf(keys_[end]) <= kPartBytes)) {
      bytes += bytesOf(keys_[end++]);
    }
    if (end < keys_.size()) {
      std::size_t best = end, bestCommon = ~std::size_t{0};
      for (std::size_t k = end; k > first && k >= end - (end - first) / 4; --k) {
        if (KeyText(keys_[k - 1]) == KeyText(keys_[k])) continue;
        const std::size_t common = CommonStart(KeyText(keys_[k - 1]), KeyText(keys_[k]));
        if (common < bestCommon) best = k, bestCommon = common;
      }
      while (best < keys_.size() && KeyText(keys_[best - 1]) == KeyText(keys_[best])) ++best;
      end = best;
    }
    std::string start;
    if (first > 0) {
      const std::string_view key = KeyText(keys_[first]);
      const std::size_t common = CommonStart(KeyText(keys_[first - 1]), key);
      start = key.substr(0, common + UnitLength(key[common]));
    }
    runs_.push_back({std::move(start), first, end});
    first = end;
  }
}

// A prefix is split among runs where a later run's start begins with it and is longer.
void SearchIndex::PlanFirsts() {
  std::vector<std::string> prefixes;
  for (std::size_t r = 1; r < runs_.size(); ++r) {
    const std::string& start = runs_[r].start;
    for (std::size_t size = UnitLength(start[0]); size < start.size();
         size += UnitLength(start[size])) {
      prefixes.push_back(start.substr(0, size));
    }
  }
  std::sort(prefixes.begin(), prefixes.end());
  prefixes.erase(std::unique(prefixes.begin(), prefixes.end()), prefixes.end());
  for (std::string& prefix : prefixes) {
    std::vector<std::uint32_t> names = FirstNames(prefix);
    firsts_.push_back({std::move(prefix), std::move(names)});
  }
}

// The first kFirstNames names by rank among the keys that start with `prefix`: the names the
// prefix spells, then those that start with it, then those with a later word that starts with it;
// in each, in the order of ranks_.
std::vector<std::uint32_t> SearchIndex::FirstNames(std::string_view prefix) const {
  // The keys that start with the prefix sort from it on, and before it with its last byte raised.
  const auto byText = [this](const Key& key, std::string_view p) { return KeyText(key) < p; };
  const auto from = std::lower_bound(keys_.begin(), keys_.end(), prefix, byText);
  std::string after(prefix);
  ++after.back();
  const auto to = std::lower_bound(from, keys_.end(), after, byText);
  std::vector<std::uint64_t> ranked;  // the match above the rank, so a name's best key is first
  ranked.reserve(static_cast<std::size_t>(to - from));
  for (auto key = from; key != to; ++key) {
    const std::size_t size = keyStarts_[key->name + 1] - keyStarts_[key->name];
    const std::uint64_t match = key->start > 0 ? 2 : size == prefix.size() ? 0 : 1;
    ranked.push_back(match << 32 | ranks_[key->name]);
  }
  // The first few, then all if too few names are among them.
  for (std::size_t wanted = 4 * kFirstNames;; wanted = ranked.size()) {
    const auto end = ranked.begin() + static_cast<std::ptrdiff_t>(std::min(wanted, ranked.size()));
    if (end != ranked.end()) std::nth_element(ranked.begin(), end, ranked.end());
    std::sort(ranked.begin(), end);
    std::vector<std::uint32_t> names;
    for (auto value = ranked.begin(); value != end; ++value) {
      const std::uint32_t name = byRank_[static_cast<std::uint32_t>(*value)];
      if (std::find(names.begin(), names.end(), name) != names.end()) continue;
      names.push_back(name);
      if (names.size() == kFirstNames) break;
    }
    if (names.size() == kFirstNames || wanted >= ranked.size()) return names;
  }
}

// Each run's names, in name order and once each: the runs of each name's keys are found in the
// order of the names, and so are listed in it.
void SearchIndex::ListRunNames() {
  const std::size_t count = keyStarts_.size() - 1;
  // The runs of the keys, a name's side by side: those of the name n from firstKeys[n] on.
  std::vector<std::uint32_t> firstKeys(count + 1);
  for (const Key& key : keys_) ++firstKeys[key.name + 1];
  for (std::size_t n = 0; n < count; ++n) firstKeys[n + 1] += firstKeys[n];
  std::vector<std::uint32_t> runsOfKeys(keys_.size());
  std::vector<std::uint32_t> next(firstKeys.begin(), firstKeys.end() - 1);
  for (std::uint32_t r = 0; r < runs_.size(); ++r) {
    for (std::size_t k = runs_[r].first; k < runs_[r].end; ++k) {
      runsOfKeys[next[keys_[k].name]++] = r;
    }
  }
  std::vector<std::vector<std::uint32_t>> names(runs_.size());
  for (std::uint32_t n = 0; n < count; ++n) {
    for (std::size_t k = firstKeys[n]; k < firstKeys[n + 1]; ++k) {
      std::vector<std::uint32_t>& listed = names[runsOfKeys[k]];
      if (listed.empty() || listed.back() != n) listed.push_back(n);
    }
  }
  std::size_t total = 0;
  for (const std::vector<std::uint32_t>& listed : names) total += listed.size();
  runNames_.reserve(total);
  for (std::size_t r = 0; r < runs_.size(); ++r) {
    runs_[r].first = runNames_.size();
    runNames_.insert(runNames_.end(), names[r].begin(), names[r].end());
    runs_[r].end = runNames_.size();
  }
}

// A page's outline stays in one part, and a part holds whole pages up to kPartBytes.
void SearchIndex::PlanOutlines() {
  const bool any = std::any_of(plan_.pages.begin(), plan_.pages.end(), [](const SitePage& page) {
    return !page.scan.definitions.entries.empty();
  });
  if (!any) return;
  std::size_t bytes = kPartBytes;
  for (std::size_t page = 0; page < plan_.pages.size(); ++page) {
    if (bytes >= kPartBytes) {
      outlines_.push_back(page);
      bytes = 0;
    }
    const PageDefinitions& definitions = plan_.pages[page].scan.definitions;
    // A name's quotes and the kind and line that follow it.
    bytes += definitions.names.size() + 12 * definitions.entries.size() + 3;
  }
}

std::string SearchIndex::PartName(std::size_t part) const {
  if (part == 0) return "files";
  if (part == 1) return "names";
  part -= 2;
  if (part < runs_.size()) return RunName(runs_[part].start);
  part -= runs_.size();
  if (part < firsts_.size()) return "first/" + firsts_[part].prefix;
  return "outline/" + std::to_string(outlines_[part - firsts_.size()]);
}

std::vector<std::string> SearchIndex::PartsForQuery(std::string_view query) const {
  std::vector<std::string> parts = {"files", "names"};
  if (!IsNameQuery(query) || runs_.empty()) return parts;
  const std::string key = EncodeKey(query);
  // The last run that starts at or before the key holds its keys, unless they go on into the
  // next run, whose start then begins with the key.
  const auto next =
      std::upper_bound(runs_.begin(), runs_.end(), key,
                       [](const std::string& k, const Run& run) { return k < run.start; });
  if (next != runs_.end() && next->start.compare(0, key.size(), key) == 0) {
    parts.push_back("first/" + key);
  } else {
    parts.push_back(RunName((next - 1)->start));
  }
  return parts;
}

}  // namespace lexpaint
