#ifndef LEXPAINT_HIGHLIGHT_CHAR_CLASSES_H_
#define LEXPAINT_HIGHLIGHT_CHAR_CLASSES_H_

#include <array>
#include <string_view>

namespace lexpaint {

constexpr std::string_view kOperatorChars = "!%&()*+,-./:;<=>?[]^{|}~";
constexpr std::string_view kNumberChars = "0123456789xo.+-fFeE";

// Character classes of the "C" locale, looked up by unsigned byte value; bytes from 0x80 up
// belong to none.
enum CharClass : unsigned char {
  kSpace = 1,  // white space within a line: a line feed ends the line instead
  kOperator = 2,
  kDigit = 4,
  kLetter = 8,
  kNumberPart = 16,  // may continue a number
  kTextEnd = 64,     // NUL or line feed, one of which follows the text of each line
};

constexpr std::array<unsigned char, 256> MakeCharClasses() {
  std::array<unsigned char, 256> classes{};
  for (char c : std::string_view(" \t\v\f\r")) classes[static_cast<unsigned char>(c)] |= kSpace;
  for (char c : kOperatorChars) classes[static_cast<unsigned char>(c)] |= kOperator;
  for (char c : kNumberChars) classes[static_cast<unsigned char>(c)] |= kNumberPart;
  classes['\0'] |= kTextEnd;
  classes['\n'] |= kTextEnd;
  for (int c = '0'; c <= '9'; ++c) classes[c] |= kDigit;
  for (int c = 'a'; c <= 'z'; ++c) classes[c] |= kLetter;
  for (int c = 'A'; c <= 'Z'; ++c) classes[c] |= kLetter;
  return classes;
}

inline constexpr std::array<unsigned char, 256> kCharClasses = MakeCharClasses();

inline unsigned char ClassesOf(char c) { return kCharClasses[static_cast<unsigned char>(c)]; }

inline bool Is(char c, unsigned char classes) { return (ClassesOf(c) & classes) != 0; }

// What a character says about the run it starts. '/' and the quotes need a look at their
// neighbours before the scanner can tell.
enum StartClass : unsigned char {
  kStartsOther,  // a quote, or a character that starts no token
  kStartsSpace,
  kStartsWord,
  kStartsOperator,
  kStartsNumber,
  kStartsDirective,
  kStartsSlash,
  kStartsLineEnd  // the eighth: StartClassOf relies on there being no more
};

constexpr std::array<unsigned char, 256> MakeStartClasses() {
  std::array<unsigned char, 256> starts{};
  for (int c = 0; c < 256; ++c) {
    const unsigned char classes = kCharClasses[c];
    if (classes & kLetter) starts[c] = kStartsWord;
    if (classes & kSpace) starts[c] = kStartsSpace;
    if (classes & kDigit) starts[c] = kStartsNumber;
    if (classes & kOperator) starts[c] = kStartsOperator;
  }
  starts['_'] = kStartsWord;
  starts['#'] = kStartsDirective;
  starts['/'] = kStartsSlash;
  starts['\0'] = kStartsLineEnd;
  starts['\n'] = kStartsLineEnd;
  return starts;
}

inline constexpr std::array<unsigned char, 256> kStartClasses = MakeStartClasses();

// The mask changes nothing but tells the compiler that a switch over the eight classes needs no
// range check.
inline StartClass StartClassOf(char c) {
  return static_cast<StartClass>(kStartClasses[static_cast<unsigned char>(c)] & 7);
}

}  // namespace lexpaint

#endif  // LEXPAINT_HIGHLIGHT_CHAR_CLASSES_H_
