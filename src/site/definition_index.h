#ifndef LEXPAINT_SITE_DEFINITION_INDEX_H_
#define LEXPAINT_SITE_DEFINITION_INDEX_H_

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "site_plan.h"

namespace lexpaint {

// Where the pages of a site find the definitions of their names, and the tags file that lists
// them. Namespaces are listed in the tags file but are no link targets.
class DefinitionIndex {
 public:
  // A name defined in more places than this links nowhere: a list of its definitions would be
  // too long to help.
  static constexpr std::size_t kMaxLinkedDefinitions = 100;

  // A definition: the page of its file and the index of the definition in that page's list.
  struct Place {
    std::size_t page;
    std::size_t definition;
  };

  // `plan` must outlive the index. `namesFolder` is where the pages listing the definitions of
  // names defined more than once go, from the site's root.
  DefinitionIndex(const SitePlan& plan, std::string namesFolder);

  // Where `word` on line `line` of the page `page` links to, or "" if it does not link.
  std::string Href(std::size_t page, std::string_view word, std::uint64_t line) const;

  // The names that have a page listing their definitions, in name order, and those places.
  std::vector<std::pair<std::string_view, std::vector<Place>>> ListedNames() const;

  // The path of the page that lists the definitions of `name`, from the site's root.
  std::string NamePagePath(std::string_view name) const;

  // Writes the tags file: a line "name<TAB>file<TAB>line;\"<TAB>kind:kind" for each definition,
  // sorted by name, then file, then line.
  void WriteTags(std::ostream& out) const;

 private:
  const SitePlan& plan_;
  std::string namesFolder_;
  std::unordered_map<std::string_view, std::vector<Place>> targets_;
};

// A folder name for the pages of names that the root of `plan` does not use.
std::string ChooseNamesFolder(const SitePlan& plan);

}  // namespace lexpaint

#endif  // LEXPAINT_SITE_DEFINITION_INDEX_H_
