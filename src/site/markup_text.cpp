#include "markup_text.h"

#include <array>

namespace lexpaint {
namespace {

// The entity of a byte that HTML would read as markup, or "" for a byte that stands for itself.
std::string_view EntityOf(char c) {
  switch (c) {
    case '&':
      return "&amp;";
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    case '"':
      return "&quot;";
    case '\'':
      return "&#39;";
    default:
      return "";
  }
}

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
void AppendEscapedHtml(std::string& out, std::string_view text) {
  std::size_t plain = 0;
  for (std::size_t k = 0; k < text.size(); ++k) {
    const std::string_view entity = EntityOf(text[k]);
    if (entity.empty()) continue;
    out.append(text, plain, k - plain).append(entity);
    plain = k + 1;
  }
  out.append(text, plain);
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

}  // namespace lexpaint
