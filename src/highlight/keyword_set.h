#ifndef LEXPAINT_HIGHLIGHT_KEYWORD_SET_H_
#define LEXPAINT_HIGHLIGHT_KEYWORD_SET_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace lexpaint {

// The words that are marked as keywords. Membership is exact and case-sensitive.
//
// Most words looked up are not keywords, so Contains first asks a table, indexed by a word's first
// byte, whether any keyword has that first byte and length; only then does it hash the word and
// compare it with the one entry of an open-addressed table that can hold it.
class KeywordSet {
 public:
  KeywordSet() = default;

  // Reads one keyword per line from `list` until its end or a read failure. Lines are taken
  // unchanged (no trimming); empty lines are skipped and duplicates are held once.
  static KeywordSet Read(std::istream& list);

  void Insert(std::string_view word);
  bool Contains(std::string_view word) const {
    if (word.empty()) return hasEmpty_;
    if ((lengthsByFirst_[static_cast<unsigned char>(word[0])] & LengthBit(word.size())) == 0) {
      return false;
    }
    return Find(word) != nullptr;
  }
  std::size_t size() const { return size_; }

 private:
  // Bit n stands for the length n; all lengths from 63 up share bit 63.
  static std::uint64_t LengthBit(std::size_t length) {
    return std::uint64_t{1} << (length < 63 ? length : 63);
  }
  // Hashes the length and three of the bytes of a non-empty word.
  static std::size_t Hash(std::string_view word);

  // The slot holding `word`, or nullptr.
  const std::string* Find(std::string_view word) const;
  void Grow();

  std::array<std::uint64_t, 256> lengthsByFirst_{};
  std::vector<std::string> slots_;  // a power of two of them; an empty one is free
  std::size_t size_ = 0;
  bool hasEmpty_ = false;
};

}  // namespace lexpaint

#endif  // LEXPAINT_HIGHLIGHT_KEYWORD_SET_H_
