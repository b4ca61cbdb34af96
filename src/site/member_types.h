#ifndef LEXPAINT_SITE_MEMBER_TYPES_H_
#define LEXPAINT_SITE_MEMBER_TYPES_H_

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "source_scan.h"

namespace lexpaint {

// The types of the data members that the classes of a tree declare, for the bodies of member
// functions defined outside their class, on other pages: "MemTable* mem_;" in the body of DBImpl
// tells that mem_->NewIterator() in DBImpl::Get calls a member of MemTable.
// A data member is a local name of a class's body that lasts as long as the body does, whose type
// is one word (LocalName::type).
class MemberTypes {
 public:
  // Adds the data members of the class bodies in `scopes`, which must outlive this.
  void Add(const PageScopes& scopes);
  // Makes what was added ready to be looked up.
  void Finish();

  // The type of the data member `member` of the class `owner`, as LocalName::type gives it
  // ("MemTable*"), or "" where no class of that name declares it, or several declare it with
  // different types.
  std::string_view TypeOf(std::string_view owner, std::string_view member) const;

 private:
  struct Entry {
    std::uint64_t key;  // Key of the class's and the member's names
    const PageScopes* scopes;
    std::uint32_t owner;   // the class's stretch in scopes->classes
    std::uint32_t member;  // the member's in scopes->locals
  };
  static std::uint64_t Key(std::string_view owner, std::string_view member);

  std::vector<Entry> entries_;
};

}  // namespace lexpaint

#endif  // LEXPAINT_SITE_MEMBER_TYPES_H_
