#include "markup_text.h"

#include <array>
#include <charconv>

#include "byte_masks.h"

namespace lexpaint {
namespace {

// The entity of a byte that HTML would read as markup, or "" for a byte that stands for itself.
constexpr std::array<std::string_view, 256> Entities() {
  std::array<std::string_view, 256> entities{};
  entities['&'] = "&amp;";
  entities['<'] = "&lt;";
  entities['>'] = "&gt;";
  entities['"'] = "&quot;";
  entities['\''] = "&#39;";
  return entities;
}
constexpr std::array<std::string_view, 256> kEntities = Entities();

// The bytes that have an entity, as a table small enough to stay in cache.
constexpr std::array<bool, 256> Escaped() {
  std::array<bool, 256> escaped{};
  for (int c = 0; c < 256; ++c) escaped[c] = !kEntities[c].empty();
  return escaped;
}
constexpr std::array<bool, 256> kEscaped = Escaped();

// Bytes that an href holds as they are.
constexpr std::array<bool, 256> PlainInHref() {
  std::array<bool, 256> plain{};
  for (int c = 0; c < 256; ++c) {
    plain[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
  }
  return plain;
}
constexpr std::array<bool, 256> kPlainInHref = PlainInHref();

}  // namespace

// Runs of bytes that need no escape are copied whole.
// Most text has no such byte, so whole blocks of kMaskWidth bytes are passed over at once.
void AppendEscapedHtml(std::string& out, std::string_view text) {
  const char* plain = text.data();
  const char* const end = plain + text.size();
  const auto escape = [&](const char* from, const char* to) {
    for (const char* p = from; p != to; ++p) {
      const auto byte = static_cast<unsigned char>(*p);
      if (!kEscaped[byte]) continue;
      out.append(plain, static_cast<std::size_t>(p - plain)).append(kEntities[byte]);
      plain = p + 1;
    }
  };
  const char* block = plain;
  for (; static_cast<std::size_t>(end - block) >= kMaskWidth; block += kMaskWidth) {
    if (MarkupMask(block) != 0) escape(block, block + kMaskWidth);
  }
  escape(block, end);
  out.append(plain, static_cast<std::size_t>(end - plain));
}

std::string EscapeHtml(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  AppendEscapedHtml(escaped, text);
  return escaped;
}

void AppendEncodedHref(std::string& out, std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::size_t plain = 0;
  for (std::size_t k = 0; k < path.size(); ++k) {
    const auto byte = static_cast<unsigned char>(path[k]);
    if (kPlainInHref[byte]) continue;
    out.append(path, plain, k - plain);
    out += '%';
    out += kHex[byte >> 4];
    out += kHex[byte & 15];
    plain = k + 1;
  }
  out.append(path, plain);
}

std::string EncodeHref(std::string_view path) {
  std::string encoded;
  encoded.reserve(path.size());
  AppendEncodedHref(encoded, path);
  return encoded;
}

void AppendNumber(std::string& out, std::uint64_t number) {
  char digits[20];  // room for any 64-bit number
  out.append(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
}

}  // namespace lexpaint
