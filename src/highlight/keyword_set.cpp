#include "keyword_set.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace lexpaint {

KeywordSet KeywordSet::Read(std::istream& list) {
  KeywordSet keywords;
  std::string line;
  while (std::getline(list, line)) {
    if (!line.empty()) keywords.Insert(line);
  }
  return keywords;
}

void KeywordSet::Insert(std::string_view word) {
  if (word.empty()) {
    size_ += hasEmpty_ ? 0 : 1;
    hasEmpty_ = true;
    return;
  }
  if (Contains(word)) return;
  if (4 * (size_ + 1) > slots_.size()) {
    std::vector<Slot> old(slots_.empty() ? 64 : 2 * slots_.size());
    old.swap(slots_);
    slotMask_ = slots_.size() - 1;
    for (Slot& slot : old) {
      if (!slot.word.empty()) Place(std::move(slot.word));
    }
  }
  const std::size_t hash = Hash(word);
  filter_[(hash / 64) % kFilterWords] |= std::uint64_t{1} << (hash % 64);
  Place(std::string(word));
  if (word.size() <= kMaskWidth) InsertShort(word);
  ++size_;
}

void KeywordSet::InsertShort(std::string_view word) {
  ShortWord entry{};
  std::memcpy(entry.text, word.data(), word.size());
  entry.size = static_cast<std::uint32_t>(word.size());
  std::uint32_t& head = shortHeads_[ShortBucket(word)];
  entry.next = head;
  head = static_cast<std::uint32_t>(shorts_.size());
  shorts_.push_back(entry);
  shortLengths_[static_cast<unsigned char>(word[0])] |= std::uint32_t{1} << word.size();
}

void KeywordSet::Place(std::string word) {
  std::size_t slot = Hash(word) & slotMask_;
  while (!slots_[slot].word.empty()) slot = (slot + 1) & slotMask_;
  Slot& entry = slots_[slot];
  std::memcpy(entry.head, word.data(), std::min(word.size(), kMaskWidth));
  entry.word = std::move(word);
}

}  // namespace lexpaint
