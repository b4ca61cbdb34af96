#include "page_frame.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

#include "markup_text.h"

namespace lexpaint {
namespace {

// The document up to the start of <body>; `bodyClass` names the kind of page, if not "".
std::string DocumentStart(std::string_view title, std::string_view pagePath,
                          std::string_view bodyClass = "") {
  return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
         "<title>" +
         EscapeHtml(title) + "</title>\n<link rel=\"stylesheet\" href=\"" +
         RelativeHref(pagePath, kStylesheetName) + "\">\n<script src=\"" +
         RelativeHref(pagePath, kScriptName) + "\" defer></script>\n</head>\n" +
         (bodyClass.empty() ? "<body>\n" : "<body class=\"" + std::string(bodyClass) + "\">\n");
}

// Links the root and each folder down to `folder` to its index, then ends with `leaf` as text: a
// page's file name, or "" on an index page, whose own folder is then the text.
std::string Breadcrumb(const SitePlan& plan, std::string_view pagePath, std::size_t folder,
                       std::string_view leaf, std::string_view siteName) {
  std::vector<std::size_t> chain;
  for (std::size_t f = folder; f != 0; f = plan.folders[f].parent) chain.push_back(f);
  chain.push_back(0);
  std::string trail = "<nav class=\"Breadcrumb\" aria-label=\"Breadcrumb\">";
  for (std::size_t i = chain.size(); i-- > 0;) {
    const SiteFolder& crumb = plan.folders[chain[i]];
    const std::string_view name = chain[i] == 0 ? siteName : NameOf(crumb.path);
    if (i + 1 < chain.size()) trail += " / ";
    if (i == 0 && leaf.empty()) {
      trail += "<span>" + EscapeHtml(name) + "</span>";
    } else {
      trail += "<a href=\"" + RelativeHref(pagePath, IndexPath(crumb)) + "\">" + EscapeHtml(name) +
               "</a>";
    }
  }
  if (!leaf.empty()) trail += " / <span>" + EscapeHtml(leaf) + "</span>";
  return trail + "</nav>\n";
}

// The bar at the top of every page, which holds the breadcrumb, then the start of the page's main
// content and its heading. A heading of class "Hidden" is there for screen readers only, where the
// breadcrumb already shows its text.
std::string PageTop(std::string_view breadcrumb, std::string_view heading,
                    std::string_view headingClass) {
  std::string top = "<header class=\"Top\">\n" + std::string(breadcrumb) + "</header>\n<main>\n<h1";
  if (!headingClass.empty()) top += " class=\"" + std::string(headingClass) + "\"";
  return top + ">" + EscapeHtml(heading) + "</h1>\n";
}

// A path as text that may wrap after each '/' where its column is too narrow for it whole.
void AppendBreakablePath(std::string& out, std::string_view path) {
  for (std::size_t slash; (slash = path.find('/')) != std::string_view::npos;) {
    AppendEscapedHtml(out, path.substr(0, slash + 1));
    out.append("<wbr>");
    path.remove_prefix(slash + 1);
  }
  AppendEscapedHtml(out, path);
}

std::string FormatSize(std::uint64_t bytes) {
  char text[32];
  if (bytes < 1024) {
    std::snprintf(text, sizeof text, "%llu B", static_cast<unsigned long long>(bytes));
  } else if (bytes < 1024 * 1024) {
    std::snprintf(text, sizeof text, "%.1f KiB", bytes / 1024.0);
  } else {
    std::snprintf(text, sizeof text, "%.1f MiB", bytes / (1024.0 * 1024.0));
  }
  return text;
}

std::string IndexRow(std::string_view indexPath, std::string_view target, std::string_view name,
                     std::string_view lines, std::string_view size) {
  return "<tr><td><a href=\"" + RelativeHref(indexPath, target) + "\">" + EscapeHtml(name) +
         "</a></td><td>" + std::string(lines) + "</td><td>" + std::string(size) + "</td></tr>\n";
}

// "1 use", "2 uses".
std::string CountOf(std::size_t count, std::string_view one, std::string_view many) {
  return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

// A link to line `line` of the page at `pageHref`, whose text is the line's number, after `file`
// and a colon unless `file` is "".
void AppendLineLink(std::string& out, std::string_view pageHref, std::uint64_t line,
                    std::string_view file) {
  const std::string number = std::to_string(line);
  out.append("<a href=\"").append(pageHref).append("#L").append(number).append("\">");
  if (!file.empty()) {
    AppendEscapedHtml(out, file);
    out.append(1, ':');
  }
  out.append(number).append("</a>");
}

// A part of a page written a part at a time is let go once it is this large.
constexpr std::size_t kSpillSize = 64 * 1024;

// The uses of a name, a table of them with a group for each file, or a line that there are none.
void AppendUses(std::string& out, const SitePlan& plan, const PageHrefs& hrefs,
                const std::vector<ListedUse>& uses,
                const std::function<void(std::string&)>& spill) {
  if (uses.empty()) {
    out.append("<p>No uses.</p>\n");
    return;
  }
  std::size_t files = 0;
  for (std::size_t u = 0; u < uses.size(); ++u) files += u == 0 || uses[u].page != uses[u - 1].page;
  out.append("<p>").append(CountOf(uses.size(), "use", "uses")).append(" in ");
  out.append(CountOf(files, "file", "files")).append(".</p>\n<table class=\"Index Uses\">\n");
  for (std::size_t u = 0; u < uses.size();) {
    std::size_t end = u;
    while (end < uses.size() && uses[end].page == uses[u].page) ++end;
    const SitePage& shown = plan.pages[uses[u].page];
    const std::string& href = hrefs[uses[u].page];
    out.append("<tbody>\n<tr><th colspan=\"2\" scope=\"rowgroup\"><a href=\"");
    out.append(href).append("\">");
    AppendEscapedHtml(out, plan.files[shown.file].path);
    out.append("</a> (").append(std::to_string(end - u)).append(")</th></tr>\n");
    // A row is a link to its line, whose text is the line's number, and the line's text; the
    // rows of a file start alike, and the rest up to the text is put together in place.
    const std::string rowStart = "<tr><td><a href=\"" + href + "#L";
    for (; u < end; ++u) {
      char link[64];
      char* const number = link;
      char* at = std::to_chars(number, number + 20, uses[u].line).ptr;
      const std::size_t digits = static_cast<std::size_t>(at - number);
      at = std::copy_n("\">", 2, at);
      at = std::copy_n(number, digits, at);
      constexpr std::string_view kLinkEnd = "</a></td><td>";
      at = std::copy_n(kLinkEnd.data(), kLinkEnd.size(), at);
      out.append(rowStart).append(link, static_cast<std::size_t>(at - link));
      AppendEscapedHtml(out, uses[u].text);
      out.append("</td></tr>\n");
      if (out.size() >= kSpillSize) spill(out);
    }
    out.append("</tbody>\n");
  }
  out.append("</table>\n");
}

}  // namespace

std::string RelativeHref(std::string_view from, std::string_view to) {
  std::string_view fromFolder = FolderOf(from);
  // Drop the folders both paths share.
  while (!fromFolder.empty()) {
    const std::size_t slash = fromFolder.find('/');
    const std::string_view part = fromFolder.substr(0, slash);
    if (to.size() <= part.size() || to.compare(0, part.size(), part) != 0 ||
        to[part.size()] != '/') {
      break;
    }
    to.remove_prefix(part.size() + 1);
    fromFolder =
        slash == std::string_view::npos ? std::string_view() : fromFolder.substr(slash + 1);
  }
  const std::size_t up =
      fromFolder.empty() ? 0 : 1 + std::count(fromFolder.begin(), fromFolder.end(), '/');
  std::string href;
  // Room for a line anchor too, which most hrefs to a page get.
  href.reserve(3 * up + to.size() + 16);
  for (std::size_t k = 0; k < up; ++k) href += "../";
  AppendEncodedHref(href, to);
  return href;
}

std::string IndexPath(const SiteFolder& folder) {
  return folder.sitePath.empty() ? std::string(kIndexName)
                                 : folder.sitePath + "/" + std::string(kIndexName);
}

std::string PageHead(const SitePlan& plan, std::size_t page, std::string_view siteName) {
  const SitePage& shown = plan.pages[page];
  const std::string& source = plan.files[shown.file].path;
  // The code scrolls in a box of its own, which takes focus so that it scrolls by keyboard too.
  return DocumentStart(source, shown.path, "Source") +
         PageTop(Breadcrumb(plan, shown.path, shown.folder, NameOf(source), siteName), source,
                 "Hidden") +
         "<div class=\"Code\" tabindex=\"0\" role=\"region\" aria-label=\"Code\"><pre>\n";
}

std::string PageFoot() { return "</pre></div>\n</main>\n</body>\n</html>\n"; }

namespace {

// The start of a page at `path` that holds a section for each of a run of names, from `first` to
// `last`, and tells what it lists of them: its heading is `heading` followed by the run, and its
// title the run followed by `what`. `bodyClass` names the kind of page.
std::string RunPageStart(const SitePlan& plan, std::string_view path, std::string_view first,
                         std::string_view last, std::string heading, std::string_view what,
                         std::string_view bodyClass, std::string_view siteName) {
  std::string range(first);
  if (last != first) range.append(" \u2026 ").append(last);
  heading.append(range);
  return DocumentStart(range + " \u2014 " + std::string(what), path, bodyClass) +
         PageTop(Breadcrumb(plan, path, 0, heading, siteName), heading, "");
}

// The start of the section of `name` on such a page, up to its heading, which names it. A
// section of the definitions that a page's includes reach is named "NAME@FILE,FILE..."; its
// heading reads "NAME, in FILE, FILE...". One of the definitions made outside classes is named
// "NAME-outside-classes", which no name can be, and reads "NAME, outside classes"; one of the
// overrides of a class's virtual function "T.NAME-overrides", read "T.NAME, overrides".
void AppendSectionStart(std::string& page, std::string_view name) {
  page.append("<section id=\"");
  AppendEscapedHtml(page, name);
  page.append("\">\n<h2>");
  const std::size_t at = name.find('@');
  std::string_view heading = name.substr(0, at);
  constexpr std::pair<std::string_view, std::string_view> kSuffixes[] = {
      {"-outside-classes", ", outside classes"}, {"-overrides", ", overrides"}};
  std::string_view read;
  for (const auto& [suffix, text] : kSuffixes) {
    if (heading.size() > suffix.size() &&
        heading.substr(heading.size() - suffix.size()) == suffix) {
      heading.remove_suffix(suffix.size());
      read = text;
      break;
    }
  }
  AppendEscapedHtml(page, heading);
  page.append(read);
  for (std::string_view files = at == std::string_view::npos ? "" : name.substr(at + 1);
       !files.empty();) {
    const std::size_t comma = files.find(',');
    page.append(files.data() == name.data() + at + 1 ? ", in " : ", ");
    AppendEscapedHtml(page, files.substr(0, comma));
    files = comma == std::string_view::npos ? "" : files.substr(comma + 1);
  }
  page.append("</h2>\n");
}

}  // namespace

PageHrefs PageHrefsFrom(const SitePlan& plan, std::string_view folder) {
  const std::string from = std::string(folder) + "/" + std::string(kIndexName);
  PageHrefs hrefs;
  hrefs.reserve(plan.pages.size());
  for (const SitePage& page : plan.pages) hrefs.push_back(RelativeHref(from, page.path));
  return hrefs;
}

std::string NameListPage(const SitePlan& plan, std::string_view path, const PageHrefs& hrefs,
                         const std::vector<ListedName>& names, std::string_view siteName) {
  std::string page = RunPageStart(plan, path, names.front().name, names.back().name, "",
                                  "definitions", "Names", siteName);
  for (const ListedName& listed : names) {
    AppendSectionStart(page, listed.section);
    if (!listed.usesHref.empty()) {
      page.append("<p class=\"Uses\"><a href=\"")
          .append(RelativeHref(path, ""))
          .append(listed.usesHref);
      page.append("\">").append(CountOf(listed.uses, "use", "uses")).append("</a></p>\n");
    }
    page.append(
        "<table class=\"Index Definitions\">\n<thead><tr><th scope=\"col\">File</th>"
        "<th scope=\"col\">Line</th><th scope=\"col\">Kind</th><th scope=\"col\">Text</th>"
        "</tr></thead>\n<tbody>\n");
    // A name's definitions are listed by file, so most rows show the file of the row before.
    std::size_t pathPage = plan.pages.size();
    std::string path;
    for (const ListedDefinition& definition : listed.definitions) {
      if (definition.page != pathPage) {
        pathPage = definition.page;
        path.clear();
        AppendBreakablePath(path, plan.files[plan.pages[pathPage].file].path);
      }
      const std::string line = std::to_string(definition.line);
      const std::string& href = hrefs[definition.page];
      page.append("<tr><td><a href=\"").append(href).append("#L").append(line).append("\">");
      page.append(path).append("</a></td><td><a href=\"").append(href).append("#L").append(line);
      page.append("\">").append(line);
      page.append("</a></td><td>").append(definition.kind).append("</td><td><code>");
      AppendEscapedHtml(page, definition.text);
      page.append("</code></td></tr>\n");
    }
    page.append("</tbody>\n</table>\n</section>\n");
  }
  page.append("</main>\n</body>\n</html>\n");
  return page;
}

std::string UsesPageStart(const SitePlan& plan, std::string_view path, std::string_view first,
                          std::string_view last, std::string_view siteName) {
  return RunPageStart(plan, path, first, last, "Uses of ", "uses", "Uses", siteName);
}

void AppendUsesSection(std::string& out, const SitePlan& plan, const PageHrefs& hrefs,
                       const UsedName& used, const std::function<void(std::string&)>& spill) {
  AppendSectionStart(out, used.name);
  out.append("<p>Defined at ");
  for (std::size_t d = 0; d < used.definitions.size(); ++d) {
    const ListedDefinition& definition = used.definitions[d];
    if (d > 0) out.append(", ");
    AppendLineLink(out, hrefs[definition.page], definition.line,
                   plan.files[plan.pages[definition.page].file].path);
    out.append(" (").append(definition.kind).append(")");
  }
  out.append(".</p>\n");
  AppendUses(out, plan, hrefs, used.uses, spill);
  out.append("</section>\n");
}

std::string UsesPageEnd() { return "</main>\n</body>\n</html>\n"; }

std::string IndexPage(const SitePlan& plan, std::size_t folder, const std::vector<bool>& listed,
                      std::string_view siteName, std::string_view siteTitle) {
  const SiteFolder& shownFolder = plan.folders[folder];
  const std::string path = IndexPath(shownFolder);
  const std::string_view title = shownFolder.path.empty() ? siteTitle : shownFolder.path;
  std::string page = DocumentStart(title, path, "Index") +
                     PageTop(Breadcrumb(plan, path, folder, "", siteName), title, "Hidden") +
                     "<table class=\"Index\">\n<thead><tr><th scope=\"col\">Name</th>"
                     "<th scope=\"col\">Lines</th><th scope=\"col\">Size</th></tr></thead>\n"
                     "<tbody>\n";
  for (std::size_t sub : shownFolder.subfolders) {
    const SiteFolder& shown = plan.folders[sub];
    page += IndexRow(path, IndexPath(shown), std::string(NameOf(shown.path)) + "/", "", "");
  }
  for (std::size_t p : shownFolder.pages) {
    if (!listed[p]) continue;
    const SitePage& shown = plan.pages[p];
    const TreeFile& file = plan.files[shown.file];
    page += IndexRow(path, shown.path, NameOf(file.path), std::to_string(shown.scan.lines),
                     FormatSize(file.size));
  }
  return page + "</tbody>\n</table>\n</main>\n</body>\n</html>\n";
}

}  // namespace lexpaint
