#ifndef LEXPAINT_SITE_MARKUP_TEXT_H_
#define LEXPAINT_SITE_MARKUP_TEXT_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace lexpaint {

// The two ways text from outside (file and folder names) enters a page.

// `text` escaped for HTML text and double- or single-quoted attribute values.
std::string EscapeHtml(std::string_view text);
void AppendEscapedHtml(std::string& out, std::string_view text);

// `path`, a relative path with '/' between its parts, percent-encoded for an href: every byte but
// ASCII letters, digits, '-', '.', '_', '~' and the '/' separators becomes %XX. The result holds
// nothing that HTML would read as markup.
std::string EncodeHref(std::string_view path);
void AppendEncodedHref(std::string& out, std::string_view path);

// `number` in decimal digits, as line numbers and counts are written everywhere.
void AppendNumber(std::string& out, std::uint64_t number);

}  // namespace lexpaint

#endif  // LEXPAINT_SITE_MARKUP_TEXT_H_
