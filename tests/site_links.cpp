#include "site_links.h"

#include <cctype>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string_view>
#include <vector>

namespace lexpaint {
namespace {

namespace fs = std::filesystem;

// The ids and hrefs of one page, or what is wrong with its markup.
struct PageLinks {
  std::set<std::string> ids;
  std::vector<std::string> hrefs;
  std::string fault;
};

bool IsNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == ':';
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// An attribute value with its character references replaced, or nullopt if one is malformed.
std::optional<std::string> DecodeReferences(std::string_view text) {
  static const std::map<std::string_view, char> kNamed = {
      {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
  std::string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      decoded += text[i];
      continue;
    }
    const std::size_t end = text.find(';', i);
    if (end == std::string_view::npos) return std::nullopt;
    const std::string_view name = text.substr(i + 1, end - i - 1);
    if (const auto named = kNamed.find(name); named != kNamed.end()) {
      decoded += named->second;
    } else if (name.size() >= 2 && name[0] == '#' && name.size() <= 4 &&
               name.find_first_not_of("0123456789", 1) == std::string_view::npos) {
      const int code = std::stoi(std::string(name.substr(1)));
      if (code == 0 || code > 127) return std::nullopt;  // the site writes only ASCII this way
      decoded += static_cast<char>(code);
    } else {
      return std::nullopt;
    }
    i = end;
  }
  return decoded;
}

// Reads the tags of `html`, keeping the value of every id and href attribute.
PageLinks ParsePage(std::string_view html) {
  PageLinks page;
  const auto fail = [&](std::size_t at, const std::string& what) {
    page.fault = what + " at byte " + std::to_string(at);
    return page;
  };
  for (std::size_t i = html.find('<'); i != std::string_view::npos; i = html.find('<', i)) {
    const std::size_t tagStart = i;
    if (html.compare(i, 4, "<!--") == 0) {
      const std::size_t end = html.find("-->", i + 4);
      if (end == std::string_view::npos) return fail(tagStart, "an unclosed comment");
      i = end + 3;
      continue;
    }
    ++i;
    if (i < html.size() && (html[i] == '!' || html[i] == '/')) ++i;
    const std::size_t nameStart = i;
    while (i < html.size() && IsNameChar(html[i])) ++i;
    if (i == nameStart) return fail(tagStart, "a '<' that starts no tag");
    for (;;) {
      while (i < html.size() && IsBlank(html[i])) ++i;
      if (i == html.size()) return fail(tagStart, "an unclosed tag");
      if (html[i] == '>') break;
      if (html.compare(i, 2, "/>") == 0) {
        ++i;
        break;
      }
      const std::size_t attributeStart = i;
      while (i < html.size() && IsNameChar(html[i])) ++i;
      if (i == attributeStart) return fail(i, "a stray character in a tag");
      std::string name(html.substr(attributeStart, i - attributeStart));
      for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      std::string_view raw;
      if (i < html.size() && html[i] == '=') {
        ++i;
        if (i < html.size() && (html[i] == '"' || html[i] == '\'')) {
          const std::size_t close = html.find(html[i], i + 1);
          if (close == std::string_view::npos) return fail(i, "an unclosed attribute value");
          raw = html.substr(i + 1, close - i - 1);
          i = close + 1;
        } else {
          const std::size_t valueStart = i;
          while (i < html.size() && !IsBlank(html[i]) && html[i] != '>') ++i;
          raw = html.substr(valueStart, i - valueStart);
        }
      }
      if (name != "href" && name != "id") continue;
      std::optional<std::string> value = DecodeReferences(raw);
      if (!value) return fail(attributeStart, "a bad character reference in " + name);
      if (name == "href") {
        page.hrefs.push_back(*std::move(value));
      } else if (!page.ids.insert(*value).second) {
        return fail(attributeStart, "a second id \"" + *value + "\"");
      }
    }
    ++i;
  }
  return page;
}

// The bytes a URL path or fragment may hold as they are: the unreserved characters, the
// sub-delimiters, ':' and '@' (RFC 3986), and '/'.
bool IsUrlChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) ||
         std::string_view("-._~!$&'()*+,;=:@/").find(c) != std::string_view::npos;
}

std::optional<std::string> PercentDecode(std::string_view text) {
  std::string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      decoded += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return std::nullopt;
    const int high = HexValue(text[i + 1]);
    const int low = HexValue(text[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    decoded += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return decoded;
}

// Where `href` on the page at `page` (a path from the site's root) leads: the path from the root
// of the file it names and its fragment. Returns a fault, or "".
std::string ResolveHref(const std::string& page, std::string_view href, std::string* target,
                        std::string* fragment) {
  if (href.empty()) return "is empty";
  if (href.front() == '/') return "is absolute";
  const std::size_t colon = href.find(':');
  if (colon != std::string_view::npos && colon < href.find_first_of("/?#")) {
    return "has a scheme";
  }
  const std::size_t hash = href.find('#');
  const std::string_view path = href.substr(0, hash);
  const std::string_view rawFragment =
      hash == std::string_view::npos ? std::string_view() : href.substr(hash + 1);
  for (std::string_view part : {path, rawFragment}) {
    for (char c : part) {
      if (c == '?') return "has a query";
      if (c == '#') return "has a second '#'";
      if (c != '%' && !IsUrlChar(c)) {
        static constexpr char kHex[] = "0123456789ABCDEF";
        const auto byte = static_cast<unsigned char>(c);
        return std::string("holds the byte 0x") + kHex[byte >> 4] + kHex[byte & 15] +
               " not percent-encoded";
      }
    }
  }
  const std::optional<std::string> decodedFragment = PercentDecode(rawFragment);
  if (!decodedFragment) return "has a bad percent escape";
  *fragment = *decodedFragment;
  if (hash != std::string_view::npos && fragment->empty()) return "has an empty fragment";
  if (path.empty()) {
    *target = page;
    return "";
  }
  if (path.back() == '/') return "names a folder";
  // The segments of the page's folder, then those of the path, '.' and '..' applied.
  std::vector<std::string> parts;
  for (std::size_t start = 0, slash; (slash = page.find('/', start)) != std::string::npos;
       start = slash + 1) {
    parts.push_back(page.substr(start, slash - start));
  }
  for (std::size_t start = 0; start <= path.size();) {
    const std::size_t slash = std::min(path.find('/', start), path.size());
    const std::optional<std::string> part = PercentDecode(path.substr(start, slash - start));
    start = slash + 1;
    if (!part) return "has a bad percent escape";
    if (part->find('/') != std::string::npos || part->find('\0') != std::string::npos) {
      return "encodes a '/' or a NUL in a name";
    }
    if (part->empty() || *part == ".") continue;
    if (*part == "..") {
      if (parts.empty()) return "leaves the site";
      parts.pop_back();
      continue;
    }
    parts.push_back(*part);
  }
  target->clear();
  for (const std::string& part : parts) *target += (target->empty() ? "" : "/") + part;
  return "";
}

std::string Describe(const std::string& page, const std::string& href, const std::string& fault) {
  return page + ": href \"" + href + "\" " + fault;
}

}  // namespace

std::string CheckSiteLinks(const fs::path& siteRoot, std::size_t* links) {
  if (links != nullptr) *links = 0;
  std::error_code error;
  if (!fs::is_directory(siteRoot, error)) return siteRoot.string() + " is not a folder";
  std::map<std::string, PageLinks> pages;  // by path from the root, in name order
  for (fs::recursive_directory_iterator it(siteRoot, error), end; !error && it != end;
       it.increment(error)) {
    if (!it->is_regular_file() || it->path().extension() != ".html") continue;
    const std::string path = it->path().lexically_relative(siteRoot).generic_string();
    std::ifstream file(it->path(), std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    if (!file) return path + ": cannot be read";
    PageLinks page = ParsePage(content.str());
    if (!page.fault.empty()) return path + ": " + page.fault;
    pages.emplace(path, std::move(page));
  }
  if (error) return "cannot list " + siteRoot.string() + ": " + error.message();
  for (const auto& [path, page] : pages) {
    for (const std::string& href : page.hrefs) {
      if (links != nullptr) ++*links;
      std::string target;
      std::string fragment;
      const std::string fault = ResolveHref(path, href, &target, &fragment);
      if (!fault.empty()) return Describe(path, href, fault);
      if (!fs::is_regular_file(siteRoot / target, error)) {
        return Describe(path, href, "names " + target + ", which is not a file of the site");
      }
      if (fragment.empty()) continue;
      const auto shown = pages.find(target);
      if (shown == pages.end()) return Describe(path, href, "has a fragment but names no page");
      if (shown->second.ids.count(fragment) == 0) {
        return Describe(path, href, "names an id that " + target + " lacks");
      }
    }
  }
  return "";
}

}  // namespace lexpaint
