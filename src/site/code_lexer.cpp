#include "code_lexer.h"

#include <array>
#include <cstring>

namespace lexpaint {
namespace {

enum ByteClass : unsigned char { kBlank = 1, kWord = 2 };

constexpr std::array<unsigned char, 256> MakeByteClasses() {
  std::array<unsigned char, 256> classes{};
  for (char c : std::string_view(" \t\r\f\v")) classes[static_cast<unsigned char>(c)] = kBlank;
  for (int c = 'a'; c <= 'z'; ++c) classes[c] = kWord;
  for (int c = 'A'; c <= 'Z'; ++c) classes[c] = kWord;
  for (int c = '0'; c <= '9'; ++c) classes[c] = kWord;
  for (int c = 0x80; c < 0x100; ++c) classes[c] = kWord;
  classes['_'] = classes['$'] = kWord;
  return classes;
}

constexpr std::array<unsigned char, 256> kByteClasses = MakeByteClasses();

bool IsBlank(char c) { return kByteClasses[static_cast<unsigned char>(c)] == kBlank; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsLiteralPrefix(std::string_view word) {
  return word == "L" || word == "u" || word == "U" || word == "u8";
}

bool IsRawPrefix(std::string_view word) {
  return word == "R" || word == "LR" || word == "uR" || word == "UR" || word == "u8R";
}

}  // namespace

bool IsWordByte(char c) { return kByteClasses[static_cast<unsigned char>(c)] == kWord; }

bool CodeLexer::NextLine() {
  if (next_ == runEnd_) {
    std::string_view run;
    if (!reader_.NextLines(&run)) return false;
    next_ = run.data();
    runEnd_ = run.data() + run.size();
  }
  p_ = next_;
  const LineEnd end = FindLineEnd(p_);
  next_ = end.feed + 1;
  lineEnd_ = end.text;
  const char* last = lineEnd_;
  while (last > p_ && IsBlank(last[-1])) --last;
  lineContinues_ = last > p_ && last[-1] == '\\';
  if (lineContinues_) lineEnd_ = last - 1;
  ++line_;
  atLineStart_ = true;
  return true;
}

bool CodeLexer::Next(LexedToken* token) {
  for (;;) {
    if (p_ == lineEnd_) {
      const bool joined = lineContinues_;
      if (inDirective_ && !joined) {
        inDirective_ = false;
        Set(token, TokenType::kDirectiveEnd, p_, p_);
        return true;
      }
      if (!NextLine()) return false;
      if (inLineComment_) {
        inLineComment_ = lineContinues_;
        p_ = lineEnd_;
      }
      continue;
    }
    if (!rawEnd_.empty()) {
      SkipRawLiteral();
      continue;
    }
    if (inBlockComment_) {
      SkipBlockComment();
      continue;
    }
    const char c = *p_;
    if (IsBlank(c)) {
      ++p_;
      continue;
    }
    if (c == '/' && p_ + 1 < lineEnd_ && (p_[1] == '/' || p_[1] == '*')) {
      if (p_[1] == '/') {
        inLineComment_ = lineContinues_;
        p_ = lineEnd_;
      } else {
        p_ += 2;
        inBlockComment_ = true;
      }
      continue;
    }
    const bool lineStart = atLineStart_;
    atLineStart_ = false;
    if (c == '#' && lineStart && !inDirective_) {
      inDirective_ = true;
      Set(token, TokenType::kDirective, p_, p_ + 1);
      ++p_;
      return true;
    }
    if (c == '"' || c == '\'') {
      ReadQuoted(token, p_);
    } else if (IsWordByte(c) && !IsDigit(c)) {
      ReadWordOrLiteral(token);
    } else if (IsDigit(c) || (c == '.' && p_ + 1 < lineEnd_ && IsDigit(p_[1]))) {
      ReadNumber(token);
    } else {
      Set(token, TokenType::kPunctuation, p_, p_ + 1);
      ++p_;
    }
    return true;
  }
}

void CodeLexer::Set(LexedToken* token, TokenType kind, const char* first, const char* last) const {
  token->kind = kind;
  token->text = std::string_view(first, static_cast<std::size_t>(last - first));
  token->line = line_;
}

void CodeLexer::ReadWordOrLiteral(LexedToken* token) {
  const char* const first = p_;
  while (p_ < lineEnd_ && IsWordByte(*p_)) ++p_;
  const std::string_view word(first, static_cast<std::size_t>(p_ - first));
  if (p_ < lineEnd_ && *p_ == '"' && IsRawPrefix(word)) return ReadRawLiteral(token, first);
  if (p_ < lineEnd_ && (*p_ == '"' || *p_ == '\'') && IsLiteralPrefix(word)) {
    return ReadQuoted(token, first);
  }
  Set(token, TokenType::kIdentifier, first, p_);
}

// A literal left open at its line's end ends there.
void CodeLexer::ReadQuoted(LexedToken* token, const char* first) {
  while (*p_ != '"' && *p_ != '\'') ++p_;
  const char quote = *p_++;
  while (p_ < lineEnd_ && *p_ != quote) p_ += *p_ == '\\' ? 2 : 1;
  if (p_ > lineEnd_) p_ = lineEnd_;
  if (p_ < lineEnd_) ++p_;
  Set(token, TokenType::kLiteral, first, p_);
}

void CodeLexer::ReadRawLiteral(LexedToken* token, const char* first) {
  const char* const open =
      static_cast<const char*>(std::memchr(p_, '(', static_cast<std::size_t>(lineEnd_ - p_)));
  if (open == nullptr) return ReadQuoted(token, first);
  rawEnd_ = ")" + std::string(p_ + 1, open) + "\"";
  p_ = open + 1;
  Set(token, TokenType::kLiteral, first, p_);
  SkipRawLiteral();
}

void CodeLexer::SkipRawLiteral() {
  const std::string_view rest(p_, static_cast<std::size_t>(lineEnd_ - p_));
  const std::size_t end = rest.find(rawEnd_);
  if (end == std::string_view::npos) {
    p_ = lineEnd_;
    return;
  }
  p_ += end + rawEnd_.size();
  rawEnd_.clear();
}

void CodeLexer::SkipBlockComment() {
  const std::string_view rest(p_, static_cast<std::size_t>(lineEnd_ - p_));
  const std::size_t end = rest.find("*/");
  if (end == std::string_view::npos) {
    p_ = lineEnd_;
    return;
  }
  p_ += end + 2;
  inBlockComment_ = false;
}

// Digits, letters, '.', digit separators, and a sign after an exponent.
void CodeLexer::ReadNumber(LexedToken* token) {
  const char* const first = p_;
  while (p_ < lineEnd_) {
    const char c = *p_;
    const bool sign = (c == '+' || c == '-') &&
                      (p_[-1] == 'e' || p_[-1] == 'E' || p_[-1] == 'p' || p_[-1] == 'P');
    if (!IsWordByte(c) && c != '.' && c != '\'' && !sign) break;
    ++p_;
  }
  Set(token, TokenType::kNumber, first, p_);
}

}  // namespace lexpaint
