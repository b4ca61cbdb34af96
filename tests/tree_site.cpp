#include "tree_site.h"

#include <regex>
#include <sstream>

#include "line_anchors.h"

namespace lexpaint {

namespace fs = std::filesystem;

// The text between the first `start` in `text` and the first `end` after it.
std::string Between(const std::string& text, const std::string& start, const std::string& end) {
  const std::size_t from = text.find(start);
  if (from == std::string::npos) return "(no " + start + ")";
  const std::size_t to = text.find(end, from + start.size());
  if (to == std::string::npos) return "(no " + end + ")";
  return text.substr(from + start.size(), to - from - start.size());
}

std::string TitleOf(const std::string& page) { return Between(page, "<title>", "</title>"); }

std::string BreadcrumbOf(const std::string& page) {
  return Between(page, "<nav class=\"Breadcrumb\" aria-label=\"Breadcrumb\">", "</nav>");
}

// The highlighted source of a page: all between the <pre> line after the breadcrumb and the
// closing tags that end the page.
std::string BodyOf(const std::string& page) {
  const std::string start =
      "<div class=\"Code\" tabindex=\"0\" role=\"region\" aria-label=\"Code\"><pre>\n";
  const std::string end = "</pre></div>\n</main>\n</body>\n</html>\n";
  const std::size_t from = page.find(start);
  if (from == std::string::npos || page.size() < from + start.size() + end.size() ||
      page.compare(page.size() - end.size(), end.size(), end) != 0) {
    return "(not a page)";
  }
  return page.substr(from + start.size(), page.size() - end.size() - from - start.size());
}

// The regular files, links and special files of a snapshot: every entry but the folders.
std::set<std::string> FilesOf(const std::map<std::string, std::string>& snapshot) {
  std::set<std::string> files;
  for (const auto& [name, content] : snapshot) {
    if (content != "<folder>") files.insert(name);
  }
  return files;
}

// What `lexpaint -n` writes for `source` between an empty header and footer, with the keyword
// list that tree mode has built in.
std::string NumberedBody(const std::string& source) {
  Sandbox box;
  box.Write("Header.html", "");
  box.Write("Footer.html", "");
  fs::copy_file(fs::path(LEXPAINT_DATA_DIR) / "C_Keywords.txt", box.path() / "C_Keywords.txt");
  box.Write("x.h", source);
  const RunResult result = box.Lexpaint({"-n", "x.h"});
  EXPECT_EQ(result.status, 0) << result.output;
  return box.Read("x.h.html");
}

std::string NameLink(const std::string& body, int line, const std::string& word) {
  std::istringstream lines(body);
  std::string text;
  for (int n = 1; std::getline(lines, text); ++n) {
    if (n != line) continue;
    const std::string wrapped = "\"><span class=\"Identifier\">" + word + "</span></a>";
    const std::size_t end = text.find(wrapped);
    if (end == std::string::npos) return "";
    const std::size_t start = text.rfind("<a href=\"", end);
    return text.substr(start + 9, end - start - 9);
  }
  return "";
}

// The href of the include link on each line of a body that has one, by line number: the first
// link of a line whose text is an #include directive.
std::map<int, std::string> IncludeLinks(const std::string& body) {
  static const std::regex kTag("<[^>]*>");
  static const std::regex kInclude("^[ \t]*#[ \t]*include");
  static const std::regex kLink("<a href=\"([^\"#]*)\">");  // a name's link has a fragment
  std::map<int, std::string> links;
  std::istringstream lines(body);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    std::smatch link;
    if (std::regex_search(std::regex_replace(line, kTag, ""), kInclude) &&
        std::regex_search(line, link, kLink)) {
      links[number] = link.str(1);
    }
  }
  return links;
}

// The rows of an index page, each as "href | name | lines | size".
std::vector<std::string> IndexRows(const std::string& page) {
  static const std::regex kRow(
      "<tr><td><a href=\"([^\"]*)\">([^<]*)</a></td><td>([^<]*)</td><td>([^<]*)</td></tr>");
  std::vector<std::string> rows;
  std::istringstream lines(Between(page, "<tbody>\n", "</tbody>"));
  std::string line;
  while (std::getline(lines, line)) {
    std::smatch row;
    if (std::regex_match(line, row, kRow)) {
      rows.push_back(row.str(1) + " | " + row.str(2) + " | " + row.str(3) + " | " + row.str(4));
    } else {
      rows.push_back("(not a row) " + line);
    }
  }
  return rows;
}

// The index row of a file with `content`, of less than 1 KiB, whose page is at `href`.
std::string FileRow(const std::string& href, const std::string& name, const std::string& content) {
  return href + " | " + name + " | " + std::to_string(CountLines(content)) + " | " +
         std::to_string(content.size()) + " B";
}

// A snapshot without the entries at or under `folder`.
std::map<std::string, std::string> Outside(std::map<std::string, std::string> snapshot,
                                           const std::string& folder) {
  for (auto it = snapshot.begin(); it != snapshot.end();) {
    const bool inside =
        it->first == folder || it->first.compare(0, folder.size() + 1, folder + "/") == 0;
    it = inside ? snapshot.erase(it) : std::next(it);
  }
  return snapshot;
}

// Expects the body of `page` to be exactly what `lexpaint -n` writes for `source` once its links
// are taken out, and `links` of those to be include links.
void ExpectNumberedSource(const std::string& page, const std::string& source, int links) {
  int removed = 0;
  const std::string body = BodyOf(page);
  EXPECT_EQ(RemoveLinks(body, &removed), NumberedBody(source));
  EXPECT_GE(removed, links) << "a link left open or nested";
  EXPECT_EQ(IncludeLinks(body).size(), static_cast<std::size_t>(links));
}

}  // namespace lexpaint
