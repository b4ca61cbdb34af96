#ifndef LEXPAINT_SITE_USE_INDEX_H_
#define LEXPAINT_SITE_USE_INDEX_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "definition_index.h"
#include "page_frame.h"
#include "site_plan.h"

namespace lexpaint {

// The uses one page makes: every line on which an identifier links to a name, once for each
// name, with the line's text. Filled by one thread, in ascending lines.
class PageUses {
 public:
  // A use of the name numbered `name` (DefinitionIndex::LinkedName) on the line numbered `line`
  // among the page's lines with uses.
  struct Use {
    std::uint32_t name;
    std::uint32_t line;
  };

  // Records that `word`, on line `line`, links to the name numbered `name`. `word` views its
  // line in place, which a line feed ends and another precedes; the line's text is kept as
  // ShownLineText shows it at `width` bytes. If that cuts `word` off, the use's text is the part
  // of the line from a little before `word`, after kCutMark.
  void Record(std::uint32_t name, std::uint64_t line, std::string_view word, std::size_t width);
  static constexpr std::string_view kCutMark = "\xE2\x80\xA6";  // U+2026, an ellipsis

  const std::vector<Use>& uses() const { return uses_; }
  // The number of the line numbered `line` among the page's lines with uses, and its text. A
  // line whose text cut some use off is among them again, with a text for that use.
  std::uint32_t NumberOf(std::uint32_t line) const { return lines_[line]; }
  std::string_view TextOf(std::uint32_t line) const {
    return std::string_view(texts_).substr(textStarts_[line],
                                           textStarts_[line + 1] - textStarts_[line]);
  }
  // The page's uses are all recorded: they stay for the whole run, so they take no more memory
  // than they fill.
  void Finish() {
    uses_.shrink_to_fit();
    texts_.shrink_to_fit();
    textStarts_.shrink_to_fit();
    lines_.shrink_to_fit();
  }
  // Lets the list of uses go, keeping the texts.
  void FreeUses() { std::vector<Use>().swap(uses_); }

 private:
  const char* AddLine(std::uint32_t number, std::string_view word, std::size_t width, bool window);
  static std::size_t WindowStart(std::string_view line, std::string_view word, std::size_t width);

  std::vector<Use> uses_;
  std::size_t lineStart_ = 0;  // the first of uses_ on the last line recorded
  // Of the last line recorded: the end of its shown text, in the page, and that text's number.
  const char* shownEnd_ = nullptr;
  std::uint32_t lineText_ = 0;
  std::vector<std::uint32_t> lines_;  // the numbers of the lines of uses_, ascending
  std::string texts_;                 // their texts, one after the other
  std::vector<std::uint32_t> textStarts_{
      0};  // where each starts in texts_, and where the last ends
};

// The uses of every linked name of a site, gathered from the links its pages make, and the pages
// that list them: a run of names in name order each, at most kNamesPerPage names, so that the
// number of such pages grows with the number of names, not with the uses.
class UseIndex {
 public:
  static constexpr std::uint32_t kNamesPerPage = 128;

  // `index` must outlive the uses; `folder` is where the uses pages go, from the site's root.
  UseIndex(const DefinitionIndex& index, std::string folder, std::size_t pages);

  // Where a page whose way to the root is `toRoot` links to the uses of the name numbered `name`.
  std::string Href(std::string_view toRoot, std::uint32_t name) const;

  // The uses of the page `page`, for its own thread to fill.
  PageUses& OfPage(std::size_t page) { return pages_[page]; }

  // Orders the uses of every page by name, then by the path of their file, then by line. Call
  // once every page is written; it frees the pages' own lists of uses, but not their texts.
  void Collect(const SitePlan& plan);

  // After Collect: the number of uses of the name numbered `name`, and its uses, in order.
  std::uint32_t CountOf(std::uint32_t name) const {
    return firstUses_[name + 1] - firstUses_[name];
  }
  std::vector<ListedUse> UsesOf(std::uint32_t name) const;

  // A page of uses: its path from the site's root, and the names it holds, [first, end), of
  // which `first` and `last` are the first and last linked.
  struct ListPage {
    std::string path;
    std::uint32_t first;
    std::uint32_t last;
    std::uint32_t end;
  };
  std::vector<ListPage> ListPages() const;

  const std::string& folder() const { return folder_; }

 private:
  // A use in the order Collect gives: its page, and its line among the page's lines with uses.
  struct Ref {
    std::uint32_t page;
    std::uint32_t line;
  };

  const DefinitionIndex& index_;
  std::string folder_;
  std::vector<PageUses> pages_;
  std::vector<std::uint32_t> pageOf_;      // by name, the uses page it is listed on
  std::vector<std::string> pageHrefs_;     // by uses page, its href from the site's root
  std::vector<std::uint32_t> firstNames_;  // by uses page, its first name; then the end
  std::vector<std::uint32_t> lastNames_;   // by uses page, its last name
  std::vector<std::uint32_t> firstUses_;   // by name, its first in refs_; then the end
  std::vector<Ref> refs_;
};

}  // namespace lexpaint

#endif  // LEXPAINT_SITE_USE_INDEX_H_
