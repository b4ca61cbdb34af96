#ifndef LEXPAINT_HIGHLIGHT_SPAN_TAGS_H_
#define LEXPAINT_HIGHLIGHT_SPAN_TAGS_H_

// The markup written around each token, laid out for copies of a fixed size.

#include <cstddef>
#include <string_view>

namespace lexpaint {

// Indexed by TokenKind.
inline constexpr std::string_view kClassNames[] = {
    "Identifier", "Comment", "Keyword", "Operator", "Number", "String", "Preprocessor"};

// "<span class=\"Kind\">" for each kind, padded so that it can be copied as one fixed-size block.
struct OpenTag {
  char text[32];
  std::size_t size;
};

inline constexpr std::size_t kOpenTagBlock = sizeof(OpenTag::text);
inline constexpr char kCloseTag[] = "</span>";  // stored with its NUL, a whole 8-byte block
inline constexpr std::size_t kCloseTagSize = sizeof kCloseTag - 1;
// The close tag alone, and followed by the blank between a token and the next: by the byte
// written past the tag, either is stored as one 8-byte block.
inline constexpr char kCloseTags[2][sizeof kCloseTag] = {{'<', '/', 's', 'p', 'a', 'n', '>', '\0'},
                                                         {'<', '/', 's', 'p', 'a', 'n', '>', ' '}};

constexpr OpenTag MakeOpenTag(std::string_view className) {
  OpenTag tag{};
  for (char c : std::string_view("<span class=\"")) tag.text[tag.size++] = c;
  for (char c : className) tag.text[tag.size++] = c;
  for (char c : std::string_view("\">")) tag.text[tag.size++] = c;
  return tag;
}

inline constexpr OpenTag kOpenTags[] = {MakeOpenTag(kClassNames[0]), MakeOpenTag(kClassNames[1]),
                                        MakeOpenTag(kClassNames[2]), MakeOpenTag(kClassNames[3]),
                                        MakeOpenTag(kClassNames[4]), MakeOpenTag(kClassNames[5]),
                                        MakeOpenTag(kClassNames[6])};

}  // namespace lexpaint

#endif  // LEXPAINT_HIGHLIGHT_SPAN_TAGS_H_
