#ifndef LEXPAINT_SITE_PAGE_LINKS_H_
#define LEXPAINT_SITE_PAGE_LINKS_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "definition_index.h"
#include "listed_texts.h"
#include "name_use.h"
#include "site_plan.h"

namespace lexpaint {

class PageUses;
class UseIndex;

// The links of the names on one page: DefinitionIndex::Href, but a definition links nowhere, not
// even to the list of its name's definitions. Each name's href is worked out once. For one thread.
//
// It also keeps the texts of the page's lines that list pages show, from the definitions it is
// asked about, whose words view their lines in place (see HighlightOptions::nameHref).
class PageLinks {
 public:
  // `index`, `plan` and `texts` must outlive the links.
  PageLinks(const DefinitionIndex& index, const SitePlan& plan, std::size_t page,
            std::size_t textWidth, ListedTexts& texts);

  // With uses, a definition links to the uses of its name, and every link to a name is recorded
  // as a use of it in `uses`, which must outlive the links. `index` is the uses of the site.
  void ListUses(const UseIndex& index, PageUses& uses) {
    useIndex_ = &index;
    uses_ = &uses;
  }

  // Where `word` on line `line` links to, or "". Lines must be asked about in ascending order;
  // the text stays valid until the next call. `word` views the page in place, as
  // HighlightOptions::nameHref gives it.
  std::string_view Href(std::string_view word, std::uint64_t line);

  // The lines of the page's listed definitions whose texts were not kept, ascending, and once
  // each; KeepTexts keeps the texts of such lines.
  std::vector<std::uint64_t> UnkeptLines() const;
  void KeepTexts(const std::vector<std::uint64_t>& lines,
                 const std::vector<std::string>& lineTexts);

 private:
  struct Defined {
    std::uint64_t line;
    std::string_view name;
    std::uint32_t listed;  // DefinitionIndex::ListedTarget
  };

  // The definition's line shows on a list page, and its text is not kept yet.
  bool Unkept(const Defined& defined) const {
    return defined.listed != DefinitionIndex::kUnlisted && !texts_.Kept(defined.listed);
  }
  // An href worked out, and what decides it: the name's number and its use's kind and scope.
  struct Worked {
    std::uint32_t key;  // KeyOf them
    std::uint32_t name;
    NameUse::Kind kind;
    std::string scope;
    std::string href;
  };
  std::uint32_t KeyOf(std::uint32_t name, const NameUse& use);
  const std::string& CachedHref(std::uint32_t name, std::string_view word, const NameUse& use);
  std::string MeaningHref(DefinitionIndex::Meaning meaning, std::string_view word);
  std::string LineHref(std::uint32_t target);
  // Where `word`, a use of the linked name `name` on line `line`, links to.
  std::string_view NameHref(std::uint32_t name, std::string_view word, std::uint64_t line);
  std::string_view LocalHref(std::string_view word, std::uint64_t declared);
  // A definition of the page, as its macros and classes are kept: by name, then line.
  struct Named {
    std::string_view name;
    std::uint64_t line;
    bool operator<(const Named& other) const {
      return name != other.name ? name < other.name : line < other.line;
    }
  };
  // The line of the last of `named` called `word` defined before `line`, if any.
  static std::optional<std::uint64_t> LastBefore(const std::vector<Named>& named,
                                                 std::string_view word, std::uint64_t line);
  std::string_view LineOfPageHref(std::uint64_t line);
  // The href of the page `page` from this one.
  const std::string& PageHref(std::uint32_t page);
  const PageSet& IncludeClosure();
  const PageSet& IncluderClosure();
  void KeepText(std::string_view word, std::size_t first);
  // Where the definition `word` links to: the uses of its name, if they are listed.
  std::string_view DefinitionHref(std::string_view word);

  const DefinitionIndex& index_;
  const SitePlan& plan_;
  std::size_t page_;
  // The page and the pages it includes, directly or not; found when first needed.
  std::optional<PageSet> closure_;
  // The page and the pages that include it, directly or not; found when first needed.
  std::optional<PageSet> includers_;
  NameUses nameUses_;
  std::string toRoot_;
  std::vector<Defined> definitions_;  // the page's, by line
  // The page's macros: a name that one of them defines before it is used means that macro, as
  // the preprocessor replaces it.
  std::vector<Named> macros_;
  // The page's classes, structs and unions: in the body of a class of the page, its own name
  // means the last class of that name the page defines before it.
  std::vector<Named> classes_;
  std::size_t next_ = 0;  // the first of definitions_ not before the line asked about last
  // The hrefs worked out so far, found by their keys through an open-addressed table of 1 +
  // their index, or 0 for an empty slot.
  std::vector<Worked> hrefs_;
  std::vector<std::uint32_t> slots_;
  std::unordered_map<std::uint32_t, std::string> pageHrefs_;  // by page, from this one
  std::string_view classScope_;  // the class of the plain use KeyOf was asked about last
  std::uint32_t classScopeHash_ = 0;
  ListedTexts& texts_;
  std::size_t textWidth_;
  const UseIndex* useIndex_ = nullptr;
  PageUses* uses_ = nullptr;
  std::string definitionHref_;
  std::string localHref_;
};

}  // namespace lexpaint

#endif  // LEXPAINT_SITE_PAGE_LINKS_H_
