// The link checker that every site written by the tests passes, on sites written by hand.
#include "site_links.h"

#include <gtest/gtest.h>

#include <string>

#include "sandbox.h"

namespace lexpaint {
namespace {

class SiteLinksTest : public testing::Test {
 protected:
  // A sound site: a page in the root and one in a folder whose name needs encoding.
  void WriteSoundSite() const {
    box_.Write("site/style.css", "");
    box_.Write("site/index.html",
               "<!DOCTYPE html>\n<html><head><link rel=\"stylesheet\" href=\"style.css\"></head>"
               "<body><!-- <a href=\"/nowhere\"> -->\n"
               "<a href=\"a%20b/p%26q.html#L2\">a b/p&amp;q</a> &lt;a href=\"http://x\"&gt;\n"
               "<a href='#top' id=top>top</a></body></html>\n");
    box_.Write("site/a b/p&q.html",
               "<pre>\n<a class=\"Line\" id=\"L1\" href=\"#L1\" tabindex=\"-1\" aria-label=\"line "
               "1\"></a>x\n"
               "<a class=\"Line\" id=\"L2\" href=\"#L2\" tabindex=\"-1\" aria-label=\"line "
               "2\"></a><a href=\"../index.html\">y</a>\n"
               "<a href=\"p&amp;q.html\">self</a> <a href=\"./../a%20b/../style.css\">css</a>"
               "</pre>\n");
  }

  Sandbox box_;
};

TEST_F(SiteLinksTest, AcceptsSoundSiteAndCountsItsLinks) {
  WriteSoundSite();
  std::size_t links = 0;
  EXPECT_EQ(CheckSiteLinks(box_.path() / "site", &links), "");
  EXPECT_EQ(links, 8u);
  EXPECT_NE(CheckSiteLinks(box_.path() / "missing"), "");
}

struct LinkFaultCase {
  const char* name;
  std::string page;  // written to site/a b/bad.html, beside the pages of the sound site
  std::string fault;
};

void PrintTo(const LinkFaultCase& c, std::ostream* os) { *os << c.name; }

class SiteLinkFaultTest : public SiteLinksTest,
                          public testing::WithParamInterface<LinkFaultCase> {};

TEST_P(SiteLinkFaultTest, ReportsFault) {
  WriteSoundSite();
  box_.Write("site/a b/bad.html", GetParam().page);
  const std::string fault = CheckSiteLinks(box_.path() / "site");
  EXPECT_EQ(fault.rfind("a b/bad.html: ", 0), 0u) << fault;
  EXPECT_NE(fault.find(GetParam().fault), std::string::npos) << fault;
}

const LinkFaultCase kLinkFaults[] = {
    {"MissingFile", "<a href=\"q.html\">", "q.html, which is not a file"},
    {"Folder", "<a href=\"../a%20b\">", "a b, which is not a file"},
    {"FolderWithSlash", "<a href=\"../\">", "names a folder"},
    {"Undecoded", "<a href=\"p&q.html\">", "bad character reference"},
    {"RawSpace", "<a href=\"../a b/p%26q.html\">", "byte 0x20 not percent-encoded"},
    {"RawNonAscii", "<a href=\"\xC3\xA9.html\">", "byte 0xC3 not percent-encoded"},
    {"Query", "<a href=\"p%26q.html?x\">", "has a query"},
    {"SecondHash", "<a href=\"p%26q.html#L1#L2\">", "second '#'"},
    {"BadEscape", "<a href=\"p%2Gq.html\">", "bad percent escape"},
    {"CutEscape", "<a href=\"p%2\">", "bad percent escape"},
    {"EncodedSlash", "<a href=\"..%2Findex.html\">", "encodes a '/'"},
    {"Absolute", "<a href=\"/index.html\">", "is absolute"},
    {"NetworkPath", "<a href=\"//host/index.html\">", "is absolute"},
    {"Scheme", "<link href=\"file:index.html\">", "has a scheme"},
    {"LeavesSite", "<a href=\"../../index.html\">", "leaves the site"},
    {"LeavesAndReturns", "<a href=\"../../site/index.html\">", "leaves the site"},
    {"Empty", "<a href=\"\">", "is empty"},
    {"EmptyFragment", "<a href=\"p%26q.html#\">", "empty fragment"},
    {"MissingId", "<a href=\"p%26q.html#L3\">", "names an id that a b/p&q.html lacks"},
    {"MissingOwnId", "<a id=\"L1\" href=\"#L2\">", "names an id that a b/bad.html lacks"},
    {"FragmentOnStylesheet", "<a href=\"../style.css#L1\">", "names no page"},
    {"DuplicateId", "<a id=\"L1\"></a><a id=\"L1\"></a>", "a second id \"L1\""},
    {"BareLessThan", "<pre>a < b</pre>", "starts no tag"},
    {"UnclosedTag", "<a href=\"p%26q.html\"", "unclosed tag"},
    {"UnclosedValue", "<a href=\"p%26q.html>", "unclosed attribute value"},
};
INSTANTIATE_TEST_SUITE_P(Faults, SiteLinkFaultTest, testing::ValuesIn(kLinkFaults),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace lexpaint
