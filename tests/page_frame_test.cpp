#include "page_frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lexpaint {
namespace {

struct HrefCase {
  const char* from;
  const char* to;
  const char* href;
};

TEST(PageFrameTest, RelativeHref) {
  const HrefCase cases[] = {
      {"index.html", "a.h.html", "a.h.html"},
      {"index.html", "src/a.h.html", "src/a.h.html"},
      {"src/a.h.html", "lexpaint.css", "../lexpaint.css"},
      {"src/x/a.h.html", "src/y/b.h.html", "../y/b.h.html"},
      {"src/x/a.h.html", "src/x/b.h.html", "b.h.html"},
      {"src/a.h.html", "srcs/b.h.html", "../srcs/b.h.html"},  // a shared prefix is no folder
      {"a b/c.html", "a b/d&e.html", "d%26e.html"},
      {"x/index.html", "index.html", "../index.html"},
  };
  for (const HrefCase& c : cases) EXPECT_EQ(RelativeHref(c.from, c.to), c.href) << c.from;
}

// A site of two files: src/a&b.h, which includes x.h, and x.h.
SitePlan TwoFileSite() {
  SitePlan plan;
  plan.files = {{"src/a&b.h", 10}, {"x.h", 2048}};
  plan.pages = {{0, 1, "src/a&b.h.html", {}, {}}, {1, 0, "x.h.html", {}, {}}};
  plan.pages[0].scan.lines = 3;
  plan.pages[1].scan.lines = 70;
  plan.folders = {{"", "", 0, {1}, {1}}, {"src", "src", 0, {}, {0}}};
  return plan;
}

TEST(PageFrameTest, PageHeadNamesThePageAndLinksItsFolders) {
  const std::string head = PageHead(TwoFileSite(), 0, "my <site>");
  EXPECT_NE(head.find("<title>src/a&amp;b.h</title>"), std::string::npos) << head;
  EXPECT_NE(head.find("<link rel=\"stylesheet\" href=\"../lexpaint.css\">"), std::string::npos);
  EXPECT_NE(head.find("<body class=\"Source\">\n<header class=\"Top\">\n"
                      "<nav class=\"Breadcrumb\" aria-label=\"Breadcrumb\">"
                      "<a href=\"../index.html\">my &lt;site&gt;</a> / "
                      "<a href=\"index.html\">src</a> / <span>a&amp;b.h</span></nav>\n</header>\n"
                      "<main>\n<h1 class=\"Hidden\">src/a&amp;b.h</h1>\n"),
            std::string::npos)
      << head;
  EXPECT_EQ(head.substr(head.size() - 6), "<pre>\n");
  EXPECT_EQ(PageFoot(), "</pre></div>\n</main>\n</body>\n</html>\n");
}

TEST(PageFrameTest, IndexListsFoldersThenWrittenPages) {
  const SitePlan plan = TwoFileSite();
  const std::string root = IndexPage(plan, 0, {true, true}, "site", "site \u2014 source");
  EXPECT_NE(root.find("<title>site \u2014 source</title>"), std::string::npos) << root;
  EXPECT_NE(
      root.find("<nav class=\"Breadcrumb\" aria-label=\"Breadcrumb\"><span>site</span></nav>\n"
                "</header>\n<main>\n<h1 class=\"Hidden\">site \u2014 source</h1>\n"
                "<table class=\"Index\">\n<thead><tr><th scope=\"col\">Name</th>"),
      std::string::npos)
      << root;
  EXPECT_EQ(root.substr(root.size() - 33), "</table>\n</main>\n</body>\n</html>\n");
  const std::size_t folder = root.find("<a href=\"src/index.html\">src/</a>");
  const std::size_t file =
      root.find("<a href=\"x.h.html\">x.h</a></td><td>70</td><td>2.0 KiB</td>");
  EXPECT_NE(folder, std::string::npos) << root;
  EXPECT_NE(file, std::string::npos) << root;
  EXPECT_LT(folder, file);

  const std::string src = IndexPage(plan, 1, {true, true}, "site", "site \u2014 source");
  EXPECT_NE(src.find("<title>src</title>"), std::string::npos) << src;
  EXPECT_NE(src.find("<a href=\"../index.html\">site</a> / <span>src</span>"), std::string::npos);
  EXPECT_NE(src.find("<a href=\"a%26b.h.html\">a&amp;b.h</a></td><td>3</td><td>10 B</td>"),
            std::string::npos)
      << src;
  EXPECT_EQ(IndexPage(plan, 1, {false, true}, "site", "").find("a%26b.h.html"), std::string::npos);
}

}  // namespace
}  // namespace lexpaint
