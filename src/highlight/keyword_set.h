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
//
// ContainsPadded keeps the members of up to kMaskWidth bytes apart: a bitmap of their lengths for
// each first byte turns most other words away before any hashing, and the rest take one chain of a
// fixed hash table, whose entries are compared in one 16-byte step.
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
    const std::size_t size = word.size();
    // Empty words and those longer than one comparison are rare; Contains takes them.
    if (size - 1 >= kMaskWidth) return Contains(word);
    if ((shortLengths_[static_cast<unsigned char>(word[0])] >> size & 1) == 0) return false;
    const unsigned ignored = ~0u << size;  // the bytes after the word
    for (std::uint32_t i = shortHeads_[ShortBucket(word)]; i != kNoShort; i = shorts_[i].next) {
      const ShortWord& entry = shorts_[i];
      if (entry.size == size && (EqualMask(entry.text, word.data()) | ignored) == ~0u) {
        return true;
      }
    }
    return false;
  }
  std::size_t size() const { return size_; }

 private:
  struct Slot {
    std::string word;            // empty if the slot is free
    char head[kMaskWidth] = {};  // the first bytes of word, zero-padded, for a cheap first test
  };

  // A member of 1 to kMaskWidth bytes, zero-padded.
  struct ShortWord {
    char text[kMaskWidth];
    std::uint32_t size;
    std::uint32_t next;  // the next entry of the same bucket, or kNoShort
  };
  static constexpr std::uint32_t kNoShort = 0xFFFFFFFFu;
  static constexpr int kShortBucketBits = 10;

  static std::size_t ShortBucket(std::string_view word) {
    return Mix(word) >> (32 - kShortBucketBits);
  }
  void InsertShort(std::string_view word);

  bool MayContain(std::size_t hash) const {
    return (filter_[(hash / 64) % kFilterWords] >> (hash % 64) & 1) != 0;
  }

  // Hashes the length and the first and last bytes of a non-empty word.
  static std::size_t Hash(std::string_view word) { return Mix(word) >> 16; }
  static std::uint32_t Mix(std::string_view word) {
    const auto byte = [&word](std::size_t i) {
      return std::uint32_t{static_cast<unsigned char>(word[i])};
    };
    const std::uint32_t key =
        byte(0) | byte(word.size() - 1) << 8 | static_cast<std::uint32_t>(word.size()) << 16;
    return key * 0x9E3779B1u;
  }

  void Place(std::string word);
  static std::array<std::uint32_t, 1u << kShortBucketBits> MakeEmptyHeads() {
    std::array<std::uint32_t, 1u << kShortBucketBits> heads;
    heads.fill(kNoShort);
    return heads;
  }

  static constexpr std::size_t kFilterWords = 64;

  std::array<std::uint64_t, kFilterWords> filter_{};  // bit h set when a member hashes to h
  // Bit n of shortLengths_[b] is set when a member of n <= kMaskWidth bytes starts with byte b.
  std::array<std::uint32_t, 256> shortLengths_{};
  std::array<std::uint32_t, 1u << kShortBucketBits> shortHeads_ = MakeEmptyHeads();
  std::vector<ShortWord> shorts_;
  std::vector<Slot> slots_;   // a power of two of them
  std::size_t slotMask_ = 0;  // slots_.size() - 1
  std::size_t size_ = 0;
  bool hasEmpty_ = false;
};

}  // namespace lexpaint

#endif  // LEXPAINT_HIGHLIGHT_KEYWORD_SET_H_
