#include "keyword_set.h"

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
  if (Find(word) != nullptr) return;
  // Keeping at most half the slots full keeps probe sequences short.
  if (2 * (size_ + 1) > slots_.size()) Grow();
  const std::size_t mask = slots_.size() - 1;
  std::size_t slot = Hash(word) & mask;
  while (!slots_[slot].empty()) slot = (slot + 1) & mask;
  slots_[slot] = std::string(word);
  lengthsByFirst_[static_cast<unsigned char>(word[0])] |= LengthBit(word.size());
  ++size_;
}

std::size_t KeywordSet::Hash(std::string_view word) {
  const auto byte = [&word](std::size_t i) {
    return std::uint32_t{static_cast<unsigned char>(word[i])};
  };
  const std::uint32_t key = byte(0) | byte(word.size() / 2) << 8 | byte(word.size() - 1) << 16 |
                            static_cast<std::uint32_t>(word.size()) << 24;
  return (key * 0x9E3779B1u) >> 16;
}

const std::string* KeywordSet::Find(std::string_view word) const {
  if (slots_.empty()) return nullptr;
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = Hash(word) & mask; !slots_[slot].empty(); slot = (slot + 1) & mask) {
    if (slots_[slot] == word) return &slots_[slot];
  }
  return nullptr;
}

void KeywordSet::Grow() {
  std::vector<std::string> old(slots_.empty() ? 64 : 2 * slots_.size());
  old.swap(slots_);
  const std::size_t mask = slots_.size() - 1;
  for (std::string& word : old) {
    if (word.empty()) continue;
    std::size_t slot = Hash(word) & mask;
    while (!slots_[slot].empty()) slot = (slot + 1) & mask;
    slots_[slot] = std::move(word);
  }
}

}  // namespace lexpaint
