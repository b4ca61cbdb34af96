#include "use_index.h"

#include <algorithm>
#include <numeric>

#include "code_lexer.h"
#include "markup_text.h"
#include "source_scan.h"

namespace lexpaint {

// A use on a line recorded already shares its text, if the text shows it; one that the text
// cut off gets a text of its own, from a little before it, as the same line again.
void PageUses::Record(std::uint32_t name, std::uint64_t line, std::string_view word,
                      std::size_t width) {
  const auto number = static_cast<std::uint32_t>(line);
  const char* const wordEnd = word.data() + word.size();
  if (!lines_.empty() && lines_.back() == number) {
    for (std::size_t u = lineStart_; u < uses_.size(); ++u) {
      if (uses_[u].name == name) return;
    }
  } else {
    shownEnd_ = AddLine(number, word, width, false);
    lineText_ = static_cast<std::uint32_t>(lines_.size() - 1);
    lineStart_ = uses_.size();
  }
  if (wordEnd <= shownEnd_) {
    uses_.push_back({name, lineText_});
    return;
  }
  AddLine(number, word, width, true);
  uses_.push_back({name, static_cast<std::uint32_t>(lines_.size() - 1)});
}

// Adds the text of the line of `word` as ShownLine shows it, or, as `window`, shown from a
// little before `word` after kCutMark. Returns where the shown part ends in the line.
const char* PageUses::AddLine(std::uint32_t number, std::string_view word, std::size_t width,
                              bool window) {
  const char* begin = word.data();
  while (begin[-1] != '\n') --begin;
  const char* end = word.data() + word.size();
  while (*end != '\n') ++end;
  std::string_view whole(begin, static_cast<std::size_t>(end - begin));
  if (window) {
    texts_ += kCutMark;
    whole.remove_prefix(WindowStart(whole, word, width));
  }
  const std::string_view shown = ShownLine(whole, width);
  texts_ += shown;
  lines_.push_back(number);
  textStarts_.push_back(static_cast<std::uint32_t>(texts_.size()));
  return shown.data() + shown.size();
}

// A quarter of the width before `word`, at the start of a word or a character.
std::size_t PageUses::WindowStart(std::string_view line, std::string_view word, std::size_t width) {
  const auto at = static_cast<std::size_t>(word.data() - line.data());
  std::size_t start = at - std::min(at, width / 4);
  while (start > 0 && start < at && IsWordByte(line[start - 1]) && IsWordByte(line[start])) {
    ++start;
  }
  while (start > 0 && (static_cast<unsigned char>(line[start]) & 0xC0) == 0x80) --start;
  return start;
}

UseIndex::UseIndex(const DefinitionIndex& index, std::string folder, std::size_t pages)
    : index_(index), folder_(std::move(folder)), pages_(pages) {
  pageOf_.assign(index.nameCount(), 0);
  std::uint32_t onPage = kNamesPerPage;
  for (std::uint32_t name = 0; name < index.nameCount(); ++name) {
    if (!index.IsLinked(name)) continue;
    if (onPage == kNamesPerPage) {
      firstNames_.push_back(name);
      pageHrefs_.push_back(
          EncodeHref(folder_ + "/" + std::string(index.NameAt(name).name) + ".html"));
      onPage = 0;
    }
    pageOf_[name] = static_cast<std::uint32_t>(firstNames_.size() - 1);
    if (lastNames_.size() < firstNames_.size()) lastNames_.push_back(name);
    lastNames_.back() = name;
    ++onPage;
  }
  firstNames_.push_back(static_cast<std::uint32_t>(index.nameCount()));
}

std::string UseIndex::Href(std::string_view toRoot, std::uint32_t name) const {
  const std::string& page = pageHrefs_[pageOf_[name]];
  const std::string_view spelled = index_.NameAt(name).name;
  std::string href;
  href.reserve(toRoot.size() + page.size() + 1 + spelled.size());
  href.append(toRoot).append(page).append(1, '#');
  AppendEncodedHref(href, spelled);
  return href;
}

void UseIndex::Collect(const SitePlan& plan) {
  std::vector<std::uint32_t> byPath(plan.pages.size());
  std::iota(byPath.begin(), byPath.end(), 0);
  std::sort(byPath.begin(), byPath.end(), [&plan](std::uint32_t a, std::uint32_t b) {
    return plan.files[plan.pages[a].file].path < plan.files[plan.pages[b].file].path;
  });
  firstUses_.assign(index_.nameCount() + 1, 0);
  for (const PageUses& page : pages_) {
    for (const PageUses::Use& use : page.uses()) ++firstUses_[use.name + 1];
  }
  std::partial_sum(firstUses_.begin(), firstUses_.end(), firstUses_.begin());
  refs_.resize(firstUses_.back());
  std::vector<std::uint32_t> next(firstUses_.begin(), firstUses_.end() - 1);
  for (const std::uint32_t page : byPath) {
    for (const PageUses::Use& use : pages_[page].uses()) {
      refs_[next[use.name]++] = {page, use.line};
    }
    pages_[page].FreeUses();
  }
}

std::vector<ListedUse> UseIndex::UsesOf(std::uint32_t name) const {
  std::vector<ListedUse> listed;
  listed.reserve(CountOf(name));
  for (std::uint32_t r = firstUses_[name]; r < firstUses_[name + 1]; ++r) {
    const PageUses& page = pages_[refs_[r].page];
    listed.push_back({refs_[r].page, page.NumberOf(refs_[r].line), page.TextOf(refs_[r].line)});
  }
  return listed;
}

std::vector<UseIndex::ListPage> UseIndex::ListPages() const {
  std::vector<ListPage> pages;
  for (std::size_t p = 0; p + 1 < firstNames_.size(); ++p) {
    pages.push_back({folder_ + "/" + std::string(index_.NameAt(firstNames_[p]).name) + ".html",
                     firstNames_[p], lastNames_[p], firstNames_[p + 1]});
  }
  return pages;
}

}  // namespace lexpaint
