#include "markup_text.h"

#include <gtest/gtest.h>

namespace lexpaint {
namespace {

TEST(MarkupTextTest, EscapeHtmlLeavesNoMarkup) {
  EXPECT_EQ(EscapeHtml("a&b<c>d\"e'f g/é"), "a&amp;b&lt;c&gt;d&quot;e&#39;f g/é");
  EXPECT_EQ(EscapeHtml(""), "");
  EXPECT_EQ(EscapeHtml("&&x&"), "&amp;&amp;x&amp;");
  std::string page = "<p>";
  AppendEscapedHtml(page, "a<b");
  EXPECT_EQ(page, "<p>a&lt;b");
}

TEST(MarkupTextTest, EncodeHrefKeepsOnlyUnreservedBytesAndSlashes) {
  EXPECT_EQ(EncodeHref("src/a_b-c.~d.h.html"), "src/a_b-c.~d.h.html");
  EXPECT_EQ(EncodeHref("we ird&<\"#%?'/f.h"), "we%20ird%26%3C%22%23%25%3F%27/f.h");
  EXPECT_EQ(EncodeHref("caf\xC3\xA9\x01\xFF"), "caf%C3%A9%01%FF");
  EXPECT_EQ(EncodeHref("a:b"), "a%3Ab");  // never read as a scheme
  EXPECT_EQ(EncodeHref("  x "), "%20%20x%20");
  std::string href = "../";
  AppendEncodedHref(href, "a b/c");
  EXPECT_EQ(href, "../a%20b/c");
}

}  // namespace
}  // namespace lexpaint
