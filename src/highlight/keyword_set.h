#ifndef LEXPAINT_HIGHLIGHT_KEYWORD_SET_H_
#define LEXPAINT_HIGHLIGHT_KEYWORD_SET_H_

#include <cstddef>
#include <istream>
#include <set>
#include <string>
#include <string_view>

namespace lexpaint {

// The words that are marked as keywords. Membership is exact and case-sensitive.
class KeywordSet {
 public:
  KeywordSet() = default;

  // Reads one keyword per line from `list` until its end or a read failure. Lines are taken
  // unchanged (no trimming); empty lines are skipped and duplicates are held once.
  static KeywordSet Read(std::istream& list);

  void Insert(std::string_view word);
  bool Contains(std::string_view word) const;
  std::size_t size() const { return words_.size(); }

 private:
  std::set<std::string, std::less<>> words_;
};

}  // namespace lexpaint

#endif  // LEXPAINT_HIGHLIGHT_KEYWORD_SET_H_
