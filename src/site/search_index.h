#ifndef LEXPAINT_SITE_SEARCH_INDEX_H_
#define LEXPAINT_SITE_SEARCH_INDEX_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "definition_index.h"
#include "site_plan.h"

namespace lexpaint {

// The search index of a site: the parts that the page script loads, each a small script in the
// folder kSearchFolderName that hands its data to the page through lexpaintIndex(NAME, DATA).
// "files" lists every page; "names" lists the name parts. The words of the names (see StartsWord)
// are keys, which are lowercased and sorted; a part "names/KEY" holds the names of a run of keys
// from KEY on, and "first/PREFIX" the first names by rank of the keys starting with PREFIX, where
// those are split among several runs. "outline/PAGE" holds the definitions of a run of pages from
// PAGE on, in line order. docs/search-index.md gives the grammar.
class SearchIndex {
 public:
  // A part holds at most about this many bytes, unless one page's outline is larger.
  static constexpr std::size_t kPartBytes = 48 * 1024;
  // How many names a "first/" part holds.
  static constexpr std::size_t kFirstNames = 50;

  // Plans the parts of the site of `plan`, with the names that `definitions` links and the
  // outlines of the pages, unless it is null. Both must outlive the index.
  SearchIndex(const SitePlan& plan, const DefinitionIndex* definitions, unsigned threads = 1);
  // Words each name's entry; a name whose list of definitions no link leads to, whose list page
  // is not written, leads to its first definition. Call it once the pages are written.
  void AddEntries(unsigned threads = 1);

  std::size_t partCount() const { return 2 + runs_.size() + firsts_.size() + outlines_.size(); }
  // The name of a part: its file is kSearchFolderName/NAME.js.
  std::string PartName(std::size_t part) const;
  // The whole script of a part. Safe to call from several threads.
  std::string PartText(std::size_t part) const;

  // The names of the parts the page script loads to answer `query`, as it chooses them.
  std::vector<std::string> PartsForQuery(std::string_view query) const;

 private:
  // A word of a name: the name's key from the byte `start` of its encoded lowercase on.
  struct Key {
    std::uint32_t name;   // into names_
    std::uint32_t start;  // into its encoded lowercase
  };
  // A key and its next eight bytes from some depth on, as a number that sorts as they do.
  struct SortableKey {
    std::uint64_t head;
    Key key;
  };
  // A run of keys, named by the shortest start of its first key that no key before it starts
  // with ("" for the first run): keys_[first, end) while it is planned, then the names of those
  // keys, runNames_[first, end).
  struct Run {
    std::string start;
    std::size_t first;
    std::size_t end;
  };
  // The first names by rank of the keys that start with `prefix`.
  struct First {
    std::string prefix;
    std::vector<std::uint32_t> names;
  };

  void AddNames();
  std::uint32_t ShownTarget(std::uint32_t name) const;
  const PageDefinitions::Entry& EntryOf(std::uint32_t target) const;
  void RankNames(const std::vector<char>& types);
  void SortKeys(unsigned threads);
  void SortFrom(SortableKey* first, SortableKey* last, std::size_t depth) const;
  void PlanRuns();
  void PlanFirsts();
  std::vector<std::uint32_t> FirstNames(std::string_view prefix) const;
  void ListRunNames();
  void PlanOutlines();
  std::string_view KeyText(const Key& key) const;
  void AppendEntry(std::string& text, std::uint32_t name) const;
  std::string_view EntryText(std::uint32_t name) const;
  std::string FilesText() const;
  std::string NamesText() const;
  std::string EntriesText(std::string_view part, const std::uint32_t* first,
                          const std::uint32_t* end) const;
  std::string OutlineText(std::size_t outline) const;

  const SitePlan& plan_;
  const DefinitionIndex* definitions_;
  // By name, in DefinitionIndex's order: its encoded lowercase (see EncodeKey) and its place in
  // the order of rank, while the parts are planned; the link target its entry shows.
  std::string keyText_;
  std::vector<std::uint32_t> keyStarts_;
  std::vector<std::uint32_t> ranks_;
  std::vector<std::uint32_t> byRank_;  // the names in the order of rank
  std::vector<std::uint32_t> shown_;
  // The entries of the names as the grammar writes them, a text for each kEntriesPerText names
  // in name order, and by name, where its entry ends in its text.
  static constexpr std::size_t kEntriesPerText = 4096;
  std::vector<std::string> entryTexts_;
  std::vector<std::uint32_t> entryEnds_;
  std::vector<Key> keys_;  // sorted by their text, then by name, while the parts are planned
  std::vector<Run> runs_;
  std::vector<std::uint32_t> runNames_;
  std::vector<First> firsts_;
  std::vector<std::size_t> outlines_;  // the first page of each outline part
};

// `text` lowercased and encoded as part names hold it: ASCII letters lowercased, small letters,
// digits and '_' as they are, and any other byte as '-' and two small hexadecimal digits. Encoded
// keys sort as the bytes do, but for the bytes so escaped, which sort before the others.
std::string EncodeKey(std::string_view text);

// Where a word of a C or C++ name starts: its first byte; a byte after '_' or '$' that is
// neither; a capital after a small letter or digit; a capital between a capital and a small
// letter ("HTTPServer": H and S).
bool StartsWord(std::string_view name, std::size_t at);

// `text` as a JavaScript string literal, in double quotes: bytes that are not UTF-8 become
// U+FFFD.
void AppendScriptString(std::string& out, std::string_view text);

}  // namespace lexpaint

#endif  // LEXPAINT_SITE_SEARCH_INDEX_H_
