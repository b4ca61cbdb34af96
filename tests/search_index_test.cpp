#include "search_index.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "definitions_plan.h"

namespace lexpaint {
namespace {

// The text of the part named `name`, or "" if the index has none.
std::string PartNamed(const SearchIndex& search, const std::string& name) {
  for (std::size_t part = 0; part < search.partCount(); ++part) {
    if (search.PartName(part) == name) return search.PartText(part);
  }
  return "";
}

// ssl.h defines SSL_CTX twice, as a function first and then as a type; a.h and b.h define twice()
// once each; the file name with markup in it is as hostile as a name can be.
const Definitions kSmallTree = {
    {"lib/a.h", {{"twice", Definition::kFunction, 1}, {"TwiceMore", Definition::kMacro, 2}}},
    {"lib/b.h", {{"twice", Definition::kFunction, 3}}},
    {"ssl.h",
     {{"SSL_CTX", Definition::kFunction, 9},
      {"SSL_CTX", Definition::kTypedef, 4},
      {"SSL_CTX_new", Definition::kFunction, 12},
      {"ssl", Definition::kNamespace, 2}}},
    {"x/<img src=x onerror=alert(1)>.h", {}},
};

// The whole of a small site's index: every page, with the names that link, one part of names, one
// outline part in line order; names with a list that no link leads to show a definition instead.
TEST(SearchIndexTest, WritesTheWholeIndexOfASmallSite) {
  const SitePlan plan = PlanOf(kSmallTree);
  const DefinitionIndex definitions(plan, "names");
  // A page links to twice() and so to its list; SSL_CTX's list is not linked.
  definitions.Href(0, "", definitions.LinkedName("twice"));
  SearchIndex search(plan, &definitions);
  search.AddEntries();

  EXPECT_EQ(
      PartNamed(search, "files"),
      "lexpaintIndex(\"files\",{\"folders\":[[\"\",\"\"],[\"lib\",\"lib\"],[\"x\",\"x\"]],"
      "\"pages\":[[1,\"a.h\"],[1,\"b.h\"],[0,\"ssl.h\"],[2,\"<img src=x onerror=alert(1)>.h\"]],"
      "\"outlines\":[0]});\n");
  EXPECT_EQ(PartNamed(search, "names"),
            "lexpaintIndex(\"names\",{\"kinds\":[\"macro\",\"class\",\"struct\",\"union\",\"enum\","
            "\"enumerator\",\"typedef\",\"function\",\"namespace\"],\"types\":[1,2,3,4,6],"
            "\"runs\":[\"\"]});\n");
  // In name order: SSL_CTX, SSL_CTX_new, TwiceMore, twice, whose list is on the page of a run of
  // names from SSL_CTX on.
  EXPECT_EQ(PartNamed(search, "names/-"),
            "lexpaintIndex(\"names/-\",[[\"SSL_CTX\",6,2,4,2],[\"SSL_CTX_new\",7,2,12],"
            "[\"TwiceMore\",0,0,2],[\"twice\",7,\"names/SSL_CTX.html#twice\",2]]);\n");
  EXPECT_EQ(
      PartNamed(search, "outline/0"),
      "lexpaintIndex(\"outline/0\",[[\"twice\",7,1,\"TwiceMore\",0,2],[\"twice\",7,3],[\"ssl\",8,"
      "2,\"SSL_CTX\",6,4,\"SSL_CTX\",7,9,\"SSL_CTX_new\",7,12],[]]);\n");
  EXPECT_EQ(search.PartsForQuery("ssl_ctx"),
            (std::vector<std::string>{"files", "names", "names/-"}));
  EXPECT_EQ(search.PartsForQuery("ADT/SmallVec"), (std::vector<std::string>{"files", "names"}));
}

// A site without definitions has its files and no names.
TEST(SearchIndexTest, WithoutDefinitionsListsFilesOnly) {
  const SitePlan plan = PlanOf(kSmallTree);
  SearchIndex search(plan, nullptr);
  search.AddEntries();
  EXPECT_EQ(search.partCount(), 2u);
  EXPECT_NE(PartNamed(search, "names").find("\"runs\":[]"), std::string::npos);
  EXPECT_EQ(search.PartsForQuery("twice"), (std::vector<std::string>{"files", "names"}));
}

// The names of `text`, a part of names, in order.
std::vector<std::string> NamesIn(const std::string& text) {
  std::vector<std::string> names;
  for (std::size_t at = text.find("[\""); at != std::string::npos; at = text.find(",[\"", at + 1)) {
    const std::size_t start = text.find('"', at) + 1;
    names.push_back(text.substr(start, text.find('"', start) - start));
  }
  return names;
}

// Many names are split into runs of keys; a query loads one part, which holds every name it
// matches or, where those go on into other runs, the first of them by rank.
TEST(SearchIndexTest, AQueryLoadsOnePartOfNames) {
  Definitions tree;
  std::vector<std::string> getters;
  std::vector<Definition>& many = tree["many.h"];
  for (int n = 0; n < 4000; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "get_value%04d", n);
    getters.push_back(name);
    many.push_back({name, Definition::kFunction, static_cast<std::uint64_t>(n + 1)});
  }
  many.push_back({"value", Definition::kFunction, 5000});
  many.push_back({"Value", Definition::kStruct, 5001});
  const SitePlan plan = PlanOf(tree);
  const DefinitionIndex definitions(plan, "names");
  SearchIndex search(plan, &definitions);
  search.AddEntries();

  for (std::size_t part = 0; part < search.partCount(); ++part) {
    if (search.PartName(part).rfind("outline/", 0) == 0) continue;  // one page's outline is whole
    EXPECT_LE(search.PartText(part).size(), SearchIndex::kPartBytes + 1024)
        << search.PartName(part);
  }

  const auto range = [&](std::size_t first, std::size_t end) {
    return std::vector<std::string>(getters.begin() + first, getters.begin() + end);
  };
  std::vector<std::string> value = {"Value", "value"};  // the type first
  for (const std::string& getter : range(0, 48)) value.push_back(getter);
  const struct {
    const char* query;
    std::string part;
    std::vector<std::string> names;  // the names of the part
  } cases[] = {
      // get_value0000 to 3999 and their words value0000 to 3999 do not fit in one part.
      {"value", "first/value", value},          {"GET", "first/get", range(0, 50)},
      {"get_value3", "", range(3000, 4000)},    {"VALUE39", "", range(3900, 4000)},
      {"get_value3999", "", range(3999, 4000)},
  };
  for (const auto& c : cases) {
    const std::vector<std::string> parts = search.PartsForQuery(c.query);
    ASSERT_EQ(parts.size(), 3u) << c.query;
    const std::vector<std::string> names = NamesIn(PartNamed(search, parts[2]));
    if (!c.part.empty()) {
      EXPECT_EQ(parts[2], c.part) << c.query;
      EXPECT_EQ(names, c.names) << c.query;
      continue;
    }
    // A run: every name the query matches, and maybe others.
    EXPECT_EQ(parts[2].rfind("names/", 0), 0u) << c.query;
    for (const std::string& name : c.names) {
      EXPECT_NE(std::find(names.begin(), names.end(), name), names.end())
          << c.query << ": " << name;
    }
  }
}

TEST(SearchIndexTest, SplitsNamesIntoWords) {
  const struct {
    const char* name;
    const char* starts;  // a '^' under each byte a word starts at
  } cases[] = {
      {"SSL_CTX_new", "^   ^   ^  "}, {"SmallVector", "^    ^     "}, {"HTTPServer", "^   ^     "},
      {"__glibcxx_x", "^ ^       ^"}, {"sha256Init", "^     ^   "},   {"a$b", "^ ^"},
  };
  for (const auto& c : cases) {
    std::string starts;
    for (std::size_t at = 0; c.name[at] != '\0'; ++at) starts += StartsWord(c.name, at) ? '^' : ' ';
    EXPECT_EQ(starts, c.starts) << c.name;
  }
  EXPECT_EQ(EncodeKey("SSL_Ctx$\xC3\xA9"), "ssl_ctx-24-c3-a9");
}

TEST(SearchIndexTest, WritesScriptStrings) {
  const struct {
    const char* text;
    const char* literal;
  } cases[] = {
      {"plain", "\"plain\""},
      {"a\"b\\c", "\"a\\\"b\\\\c\""},
      {"tab\there\n", "\"tab\\u0009here\\u000a\""},
      {"</script>", "\"</script>\""},
      {"caf\xC3\xA9", "\"caf\xC3\xA9\""},
      {"bad\xFF\xC3", "\"bad\\ufffd\\ufffd\""},
      {"\xED\xA0\x80", "\"\\ufffd\\ufffd\\ufffd\""},  // a surrogate is no UTF-8
  };
  for (const auto& c : cases) {
    std::string out;
    AppendScriptString(out, c.text);
    EXPECT_EQ(out, c.literal);
  }
}

}  // namespace
}  // namespace lexpaint
