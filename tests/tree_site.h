#ifndef LEXPAINT_TESTS_TREE_SITE_H_
#define LEXPAINT_TESTS_TREE_SITE_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "sandbox.h"
#include "site_links.h"

namespace lexpaint {

// The text between the first `start` in `text` and the first `end` after it.
std::string Between(const std::string& text, const std::string& start, const std::string& end);

std::string TitleOf(const std::string& page);
std::string BreadcrumbOf(const std::string& page);

// The highlighted source of a page: all between the <pre> line after the breadcrumb and the
// closing tags that end the page.
std::string BodyOf(const std::string& page);

// The regular files, links and special files of a snapshot: every entry but the folders.
std::set<std::string> FilesOf(const std::map<std::string, std::string>& snapshot);

// What `lexpaint -n` writes for `source` between an empty header and footer, with the keyword
// list that tree mode has built in.
std::string NumberedBody(const std::string& source);

// The href of the link that wraps the identifier `word` on line `line` of `body`, or "".
std::string NameLink(const std::string& body, int line, const std::string& word);

// The href of the include link on each line of a body that has one, by line number: the first
// link of a line whose text is an #include directive.
std::map<int, std::string> IncludeLinks(const std::string& body);

// The rows of an index page, each as "href | name | lines | size".
std::vector<std::string> IndexRows(const std::string& page);

// The index row of a file with `content`, of less than 1 KiB, whose page is at `href`.
std::string FileRow(const std::string& href, const std::string& name, const std::string& content);

// A snapshot without the entries at or under `folder`.
std::map<std::string, std::string> Outside(std::map<std::string, std::string> snapshot,
                                           const std::string& folder);

// Expects the body of `page` to be exactly what `lexpaint -n` writes for `source` once its links
// are taken out, and `links` of those to be include links.
void ExpectNumberedSource(const std::string& page, const std::string& source, int links);

// Writes sites of a sandbox's folders with the built lexpaint.
class TreeTest : public testing::Test {
 protected:
  // Runs `lexpaint --tree ARGS`; the last of ARGS is TARGETDIR, whose site, if there is one, must
  // pass the link check.
  RunResult Tree(std::vector<std::string> args) const {
    args.insert(args.begin(), "--tree");
    const RunResult result = box_.Lexpaint(args);
    ExpectSoundSite(args.back());
    return result;
  }

  void ExpectSoundSite(const std::string& site) const {
    if (std::filesystem::is_directory(box_.path() / site)) {
      EXPECT_EQ(CheckSiteLinks(box_.path() / site), "") << "site " << site;
    }
  }

  // The page or index at `name` under the site folder "site".
  std::string Page(const std::string& name) const { return box_.Read("site/" + name); }

  Sandbox box_;
};

}  // namespace lexpaint

#endif  // LEXPAINT_TESTS_TREE_SITE_H_
