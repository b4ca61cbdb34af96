#include "highlighter.h"

#include <array>
#include <utility>

namespace lexpaint {
namespace {

constexpr std::string_view kTabText = "    ";
constexpr std::string_view kOperatorChars = "!%&()*+,-./:;<=>?[]^{|}~";
constexpr std::string_view kNumberChars = "0123456789xo.+-fFeE";
constexpr std::string_view kClassNames[] = {"Identifier", "Comment", "Keyword",     "Operator",
                                            "Number",     "String",  "Preprocessor"};

// Character classes of the "C" locale, looked up by unsigned byte value; bytes from 0x80 up
// belong to none.
enum CharClass : unsigned char {
  kSpace = 1,
  kOperator = 2,
  kDigit = 4,
  kLetter = 8,
  kNumberPart = 16,  // may continue a number
};

constexpr std::array<unsigned char, 256> MakeCharClasses() {
  std::array<unsigned char, 256> classes{};
  for (char c : std::string_view(" \t\n\v\f\r")) classes[static_cast<unsigned char>(c)] |= kSpace;
  for (char c : kOperatorChars) classes[static_cast<unsigned char>(c)] |= kOperator;
  for (char c : kNumberChars) classes[static_cast<unsigned char>(c)] |= kNumberPart;
  for (int c = '0'; c <= '9'; ++c) classes[c] |= kDigit;
  for (int c = 'a'; c <= 'z'; ++c) classes[c] |= kLetter;
  for (int c = 'A'; c <= 'Z'; ++c) classes[c] |= kLetter;
  return classes;
}

constexpr std::array<unsigned char, 256> kCharClasses = MakeCharClasses();

bool Is(char c, unsigned char classes) {
  return (kCharClasses[static_cast<unsigned char>(c)] & classes) != 0;
}

}  // namespace

std::string_view ClassName(TokenKind kind) { return kClassNames[static_cast<int>(kind)]; }

Highlighter::Highlighter(std::istream& input, std::ostream& output, KeywordSet keywords)
    : keywords_(std::move(keywords)), reader_(input), output_(output) {}

void Highlighter::Run() {
  state_ = StateNone;
  std::string_view raw;
  while (reader_.Next(&raw)) {
    line_ = raw.substr(0, raw.find('\0'));  // a line's text ends at its first NUL
    ScanLine();
    output_.put('\n');
  }
}

void Highlighter::ScanLine() {
  std::size_t i = 0;
  while (i < line_.size()) {
    if (state_ == StateNone) state_ = ChooseState(i);
    switch (state_) {
      case StateNone:
        WritePlain(i);
        break;
      case StateSpace:
        ScanSpace(i);
        break;
      case StateWord:
        ScanWord(i);
        break;
      case StateOperator:
        ScanOperator(i);
        break;
      case StateLiteral:
        ScanLiteral(i);
        break;
      case StateNumber:
        ScanNumber(i);
        break;
      case StateDirective:
        ScanDirective(i);
        break;
      case StateComment:
        ScanComment(i);
        break;
    }
  }
}

// Returns the state whose run starts at `i`, or StateNone for a character that starts no token.
Highlighter::ScanState Highlighter::ChooseState(std::size_t i) const {
  const char c = line_[i];
  if (IsCommentStart(i)) return StateComment;
  if (IsQuoteAt(i)) return StateLiteral;
  if (c == '#') return StateDirective;
  if (Is(c, kOperator)) return StateOperator;
  // A '.' is an operator character, so a number can only start with a digit.
  if (Is(c, kDigit)) return StateNumber;
  if (Is(c, kSpace)) return StateSpace;
  if (Is(c, kLetter) || c == '_') return StateWord;
  return StateNone;
}

bool Highlighter::IsCommentStart(std::size_t i) const {
  return line_[i] == '/' && i + 1 < line_.size() && (line_[i + 1] == '/' || line_[i + 1] == '*');
}

bool Highlighter::IsQuoteAt(std::size_t i) const {
  return (line_[i] == '"' || line_[i] == '\'') && (i == 0 || line_[i - 1] != '\\');
}

void Highlighter::WritePlain(std::size_t& i) {
  WriteRange(i, i + 1);
  ++i;
}

void Highlighter::ScanSpace(std::size_t& i) {
  std::size_t pending = i;
  for (; i < line_.size() && Is(line_[i], kSpace); ++i) {
    if (line_[i] == '\t') {
      WriteRange(pending, i);
      output_ << kTabText;
      pending = i + 1;
    }
  }
  WriteRange(pending, i);
  state_ = StateNone;
}

void Highlighter::ScanWord(std::size_t& i) {
  const std::size_t first = i;
  while (i < line_.size() && !Is(line_[i], kSpace | kOperator)) ++i;
  const bool keyword = IsKeyword(line_.substr(first, i - first));
  WriteToken(first, i, keyword ? TokenKind::Keyword : TokenKind::Identifier);
  state_ = StateNone;
}

void Highlighter::ScanOperator(std::size_t& i) {
  const std::size_t first = i;
  while (i < line_.size() && Is(line_[i], kOperator)) ++i;
  WriteToken(first, i, TokenKind::Operator);
  state_ = StateNone;
}

void Highlighter::ScanNumber(std::size_t& i) {
  const std::size_t first = i;
  while (i < line_.size() && Is(line_[i], kNumberPart)) ++i;
  WriteToken(first, i, TokenKind::Number);
  state_ = StateNone;
}

void Highlighter::ScanDirective(std::size_t& i) {
  const std::size_t first = i;
  while (i < line_.size() && !Is(line_[i], kSpace)) ++i;
  WriteToken(first, i, TokenKind::Preprocessor);
  state_ = StateNone;
}

void Highlighter::ScanLiteral(std::size_t& i) {
  const std::size_t first = i;
  if (line_[i] == '"') inDoubleQuote_ = true;
  // The first character never closes the literal; on a continuation line it is simply the
  // line's first character.
  for (++i; i < line_.size(); ++i) {
    if (!IsQuoteAt(i)) continue;
    if (!inDoubleQuote_) {
      ++i;
      break;
    }
    if (line_[i] != '\'') {
      inDoubleQuote_ = false;
      ++i;
      break;
    }
  }
  if (i < line_.size()) {
    WriteToken(first, i, TokenKind::String);
    state_ = StateNone;
    return;
  }
  const std::size_t backslash = FindContinuation();
  if (backslash == std::string_view::npos) {
    WriteToken(first, i, TokenKind::String);
    state_ = StateNone;
    return;
  }
  // The literal goes on in the next line; the white space after the backslash is dropped.
  WriteToken(first, backslash, TokenKind::String);
  output_.put('\\');
}

std::size_t Highlighter::FindContinuation() const {
  std::size_t i = line_.size();
  while (i > 0 && Is(line_[i - 1], kSpace)) --i;
  if (i > 0 && line_[i - 1] == '\\') return i - 1;
  return std::string_view::npos;
}

void Highlighter::ScanComment(std::size_t& i) {
  const std::size_t first = i;
  if (!inBlockComment_) {
    if (i + 1 < line_.size() && line_[i + 1] == '/') {
      i = line_.size();
      WriteToken(first, i, TokenKind::Comment);
      state_ = StateNone;
      return;
    }
    inBlockComment_ = true;
  }
  // The search starts on the opener's '/', so "/*/" is a whole comment.
  for (; i < line_.size(); ++i) {
    if (line_[i] == '*' && i + 1 < line_.size() && line_[i + 1] == '/') {
      i += 2;
      inBlockComment_ = false;
      state_ = StateNone;
      break;
    }
  }
  WriteToken(first, i, TokenKind::Comment);
}

void Highlighter::WriteToken(std::size_t first, std::size_t end, TokenKind kind) {
  output_ << "<span class=\"" << ClassName(kind) << "\">";
  WriteRange(first, end);
  output_ << "</span>";
}

void Highlighter::WriteRange(std::size_t first, std::size_t end) {
  std::size_t pending = first;
  for (std::size_t i = first; i < end; ++i) {
    std::string_view entity;
    switch (line_[i]) {
      case '&':
        entity = "&amp;";
        break;
      case '<':
        entity = "&lt;";
        break;
      case '>':
        entity = "&gt;";
        break;
      case '\r':
        // A bare CR ending a CR LF line would show as a line break of its own in a browser.
        if (i + 1 == line_.size()) entity = "&#13;";
        break;
    }
    if (entity.empty()) continue;
    output_.write(line_.data() + pending, static_cast<std::streamsize>(i - pending));
    output_ << entity;
    pending = i + 1;
  }
  output_.write(line_.data() + pending, static_cast<std::streamsize>(end - pending));
}

}  // namespace lexpaint
