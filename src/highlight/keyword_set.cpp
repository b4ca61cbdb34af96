#include "keyword_set.h"

namespace lexpaint {

KeywordSet KeywordSet::Read(std::istream& list) {
  KeywordSet keywords;
  std::string line;
  while (std::getline(list, line)) {
    if (!line.empty()) keywords.Insert(line);
  }
  return keywords;
}

void KeywordSet::Insert(std::string_view word) { words_.emplace(word); }

bool KeywordSet::Contains(std::string_view word) const { return words_.find(word) != words_.end(); }

}  // namespace lexpaint
