#ifndef LEXPAINT_SITE_NAME_USE_H_
#define LEXPAINT_SITE_NAME_USE_H_

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "source_scan.h"

namespace lexpaint {

class DefinitionIndex;

// How a name is used where it stands, as far as the text around it tells, which decides what
// it may mean (DefinitionIndex::Resolve).
struct NameUse {
  enum Kind : unsigned char {
    kPlain,
    kMember,  // after '.' or "->": a member of some class
    // After '.' or "->" and before anything but '(', '<', "::" or the line's end: a data member,
    // never a function, which only a call may follow, nor a type. Links nowhere.
    kData,
    // After "->" that a function's parameters or qualifiers precede, and before anything but a
    // call: a trailing return type, or a data member of a call's result. Only a type.
    kType,
    kQualified,  // after "A::", or "::" alone
    kLocal,      // declared in the function or template it stands in
    // Declared as a member function in the body of the class it stands in: that class's own
    // definitions only, as it hides any other of the name.
    kClassMember,
  };
  Kind kind = kPlain;
  // Of kQualified, A ("" after "::" alone); of kPlain, the class whose body or member function's
  // body the name stands in, or ""; of kClassMember, the class that declares it; of kMember, the
  // type of the object, where a local name's or a data member's declaration or "this" tells
  // it, after the word that qualifies it if any ("Q::T"), or "".
  std::string_view scope;
  // Of kLocal, the line of the name's declaration.
  std::uint64_t declared = 0;
};

// Tells how each name of a page is used, from the text before it on its line and the page's
// scopes. For one page, asked about in the order of its lines.
class NameUses {
 public:
  // `scopes` must outlive the uses.
  // With `members`, the types of the data members of the tree's classes tell the type of an
  // object that is one.
  explicit NameUses(const PageScopes& scopes, const DefinitionIndex* index = nullptr)
      : scopes_(scopes), index_(index) {}

  // `word` views the page's text in place, within its line, which a line feed precedes.
  NameUse At(std::string_view word, std::uint64_t line);

 private:
  // Brings the stretches that start on or before `line` in, and drops those that ended.
  void MoveTo(std::uint64_t line);
  std::string_view ObjectType(const char* access, std::uint64_t line, bool arrow);
  std::string_view ClassEndingOn(std::uint64_t line) const;
  bool IsDeclaredAround(std::string_view name, std::uint64_t line,
                        const PageScopes::Stretch* object) const;

  std::string_view MemberType(std::string_view object) const;

  const PageScopes& scopes_;
  const DefinitionIndex* index_;
  std::uint64_t line_ = 0;  // moved to last; lines count from 1
  std::size_t nextLocal_ = 0;
  std::size_t nextClass_ = 0;
  std::vector<const PageScopes::Stretch*> locals_;   // that may cover the line
  std::vector<const PageScopes::Stretch*> classes_;  // that cover the line, innermost last
};

}  // namespace lexpaint

#endif  // LEXPAINT_SITE_NAME_USE_H_
