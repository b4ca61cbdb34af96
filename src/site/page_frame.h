#ifndef LEXPAINT_SITE_PAGE_FRAME_H_
#define LEXPAINT_SITE_PAGE_FRAME_H_

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "site_plan.h"

namespace lexpaint {

// The markup of a site around each page's body, and the index of each folder. Every name in it
// passes through EscapeHtml, and every href through EncodeHref.

// The href from a page at `from` to the file at `to`, both paths from the site's root.
std::string RelativeHref(std::string_view from, std::string_view to);

// Everything of the page `page` before its highlighted body, which must follow at once; the body
// ends with a line feed, so PageFoot() follows it directly.
std::string PageHead(const SitePlan& plan, std::size_t page, std::string_view siteName);
std::string PageFoot();

// The whole index page of the folder `folder`, listing its sub-folders and the pages that
// `listed` marks, by their index in plan.pages. The root index is titled `siteTitle`.
std::string IndexPage(const SitePlan& plan, std::size_t folder, const std::vector<bool>& listed,
                      std::string_view siteName, std::string_view siteTitle);

// A definition shown on a list page: the page it is on, and its line and kind.
struct ListedDefinition {
  std::size_t page;
  std::uint64_t line;
  std::string_view kind;
  std::string_view text;  // the line's text
};

// A name on a list page, with its definitions, and the number of its uses and the href of their
// list from the site's root, if uses are listed.
struct ListedName {
  std::string_view name;
  std::string_view section;  // the id of its section: the name, or one as "A::f" or "f@a.h"
  std::vector<ListedDefinition> definitions;
  std::uint32_t uses = 0;
  std::string usesHref;  // "" if uses are not listed
};

// A use shown on a page of uses: the page it is on, and its line and its text.
struct ListedUse {
  std::size_t page;
  std::uint64_t line;
  std::string_view text;
};

// A name on a page of uses: its definitions, whose texts are not shown, and its uses, by file.
struct UsedName {
  std::string_view name;
  std::vector<ListedDefinition> definitions;
  std::vector<ListedUse> uses;  // those of a file together
};

// The hrefs of the pages of `plan` from a page in the folder `folder` of the site, by the pages'
// index. The pages that list names and uses, each in a folder of its kind, link to the same pages
// many times over.
using PageHrefs = std::vector<std::string>;
PageHrefs PageHrefsFrom(const SitePlan& plan, std::string_view folder);

// The whole page at `path` that lists the definitions of `names`, in a section each whose id is
// the name. `names` must not be empty; `hrefs` are those of the plan's pages from `path`.
std::string NameListPage(const SitePlan& plan, std::string_view path, const PageHrefs& hrefs,
                         const std::vector<ListedName>& names, std::string_view siteName);

// The page at `path` that lists the uses of a run of names, from `first` to `last`, is written a
// part at a time, so that a name of many uses takes little memory: the start, then a section for
// each name whose id is the name, then the end.
std::string UsesPageStart(const SitePlan& plan, std::string_view path, std::string_view first,
                          std::string_view last, std::string_view siteName);
// Appends the section of `used` to `out`: its definitions, then its uses grouped by file, each file
// with its count. Calls `spill(out)`, which must empty `out`, whenever `out` grows large. `hrefs`
// are those of the plan's pages from the page of uses.
void AppendUsesSection(std::string& out, const SitePlan& plan, const PageHrefs& hrefs,
                       const UsedName& used, const std::function<void(std::string&)>& spill);
std::string UsesPageEnd();

// The path of a folder's index page, from the site's root.
std::string IndexPath(const SiteFolder& folder);

}  // namespace lexpaint

#endif  // LEXPAINT_SITE_PAGE_FRAME_H_
