#ifndef LEXPAINT_TESTS_MARKUP_CHECK_H_
#define LEXPAINT_TESTS_MARKUP_CHECK_H_

#include <string>
#include <string_view>

namespace lexpaint {

// Checks that `output`, a Highlighter's whole output, is well-formed: every '<' starts either
// <span class="Kind"> with one of the seven kind names or </span>; spans never nest and are all
// closed before their line ends; text holds no bare '<', '>', '&' or NUL, and only the entities
// &amp; &lt; &gt; &#13;, the last of these only as a line's final character; a bare CR never ends
// a line; and tabs appear only inside Comment and String spans. Returns a description of the first
// fault, or "" if there is none.
std::string CheckMarkup(std::string_view output);

// Checks that `output` carries the text of `input` unchanged: with the tags removed and the
// entities decoded, each output line equals its input line cut at the first NUL, once tabs are
// expanded to four spaces on both sides. The one difference allowed is white space dropped from
// the end of an input line after a backslash that ends the output line (a continued literal).
// Returns a description of the first difference, or "" if there is none.
std::string CheckTextPreserved(std::string_view input, std::string_view output);

// Both checks above; the markup is checked first.
std::string CheckHighlighted(std::string_view input, std::string_view output);

}  // namespace lexpaint

#endif  // LEXPAINT_TESTS_MARKUP_CHECK_H_
