#ifndef LEXPAINT_HIGHLIGHT_KEYWORD_SET_H_
#define LEXPAINT_HIGHLIGHT_KEYWORD_SET_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "byte_masks.h"

namespace lexpaint {

// The words that are marked as keywords. Membership is exact and case-sensitive.
//
// Words are hashed on their length and their first and last bytes. A bitmap of 4096 hash values,
// few of them set, turns away most words that are not keywords; the rest look in an open-addressed
// table at most a quarter full, whose slots are compared by length and first byte before any text.
// ContainsPadded compares the first kMaskWidth bytes of a word in one step.
class KeywordSet {
 public:
  KeywordSet() = default;

  // Reads one keyword per line from `list` until its end or a read failure. Lines are taken
  // unchanged (no trimming); empty lines are skipped and duplicates are held once.
  static KeywordSet Read(std::istream& list);

  void Insert(std::string_view word);
  bool Contains(std::string_view word) const {
    if (word.empty()) return hasEmpty_;
    const std::size_t hash = Hash(word);
    if (!MayContain(hash)) return false;
    for (std::size_t slot = hash & slotMask_;; slot = (slot + 1) & slotMask_) {
      const Slot& entry = slots_[slot];
      if (entry.word.empty()) return false;
      if (entry.word.size() == word.size() && entry.head[0] == word[0] && entry.word == word) {
        return true;
      }
    }
  }
  // Contains for a word followed by at least kMaskWidth readable bytes, such as a word in a line
  // from LineReader.
  bool ContainsPadded(std::string_view word) const {
    // Empty words and those longer than one comparison are rare; Contains takes them.
    if (word.size() - 1 >= kMaskWidth) return Contains(word);
    const std::size_t hash = Hash(word);
    if (!MayContain(hash)) return false;
    const unsigned compared = (1u << word.size()) - 1;
    for (std::size_t slot = hash & slotMask_;; slot = (slot + 1) & slotMask_) {
      const Slot& entry = slots_[slot];
      if (entry.word.empty()) return false;
      if (entry.word.size() == word.size() &&
          (EqualMask(entry.head, word.data()) & compared) == compared) {
        return true;
      }
    }
  }
  std::size_t size() const { return size_; }

 private:
  struct Slot {
    std::string word;            // empty if the slot is free
    char head[kMaskWidth] = {};  // the first bytes of word, zero-padded, for a cheap first test
  };

  bool MayContain(std::size_t hash) const {
    return (filter_[(hash / 64) % kFilterWords] >> (hash % 64) & 1) != 0;
  }

  // Hashes the length and the first and last bytes of a non-empty word.
  static std::size_t Hash(std::string_view word) {
    const auto byte = [&word](std::size_t i) {
      return std::uint32_t{static_cast<unsigned char>(word[i])};
    };
    const std::uint32_t key =
        byte(0) | byte(word.size() - 1) << 8 | static_cast<std::uint32_t>(word.size()) << 16;
    return (key * 0x9E3779B1u) >> 16;
  }

  void Place(std::string word);

  static constexpr std::size_t kFilterWords = 64;

  std::array<std::uint64_t, kFilterWords> filter_{};  // bit h set when a member hashes to h
  std::vector<Slot> slots_;                           // a power of two of them
  std::size_t slotMask_ = 0;                          // slots_.size() - 1
  std::size_t size_ = 0;
  bool hasEmpty_ = false;
};

}  // namespace lexpaint

#endif  // LEXPAINT_HIGHLIGHT_KEYWORD_SET_H_
