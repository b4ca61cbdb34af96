#include "markup_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

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

// Long texts are looked at a block of bytes at a time: every byte that needs an entity is found
// wherever it lies in a block, in the tail after the last block, or in several blocks at once.
TEST(MarkupTextTest, EscapeHtmlFindsMarkupAtEveryOffset) {
  const std::pair<char, std::string> escapes[] = {
      {'<', "&lt;"}, {'>', "&gt;"}, {'&', "&amp;"}, {'"', "&quot;"}, {'\'', "&#39;"}};
  for (const auto& [byte, entity] : escapes) {
    for (std::size_t at = 0; at < 40; ++at) {
      std::string text(40, 'x');
      text[at] = byte;
      text[39 - at] = byte;
      std::string expected = std::string(40, 'x');
      expected.replace(std::max(at, 39 - at), 1, entity);
      if (at != 39 - at) expected.replace(std::min(at, 39 - at), 1, entity);
      EXPECT_EQ(EscapeHtml(text), expected) << "byte " << byte << " at " << at;
    }
  }
  // The bytes next to those, and those past 0x7F, stand for themselves.
  const std::string plain = "\xC3\xA9\xFF\x80=?<=?\x7F<\x3C\x3E|~\xBE\xBC";
  EXPECT_EQ(EscapeHtml(plain), "\xC3\xA9\xFF\x80=?&lt;=?\x7F&lt;&lt;&gt;|~\xBE\xBC");
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
