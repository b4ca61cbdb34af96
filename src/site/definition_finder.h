#ifndef LEXPAINT_SITE_DEFINITION_FINDER_H_
#define LEXPAINT_SITE_DEFINITION_FINDER_H_

#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace lexpaint {

// A name that a source file defines, and the line of the defined name itself.
struct Definition {
  enum Kind {
    kMacro,
    kClass,
    kStruct,
    kUnion,
    kEnum,
    kEnumerator,
    kTypedef,
    kFunction,
    kNamespace,
  };
  std::string name;
  Kind kind = kFunction;
  std::uint64_t line = 0;
};

// The name of `kind` in a tags file: "macro", "class", ...
std::string_view KindName(Definition::Kind kind);

// Finds the definitions in C or C++ source, lexically: no file is included and no macro expanded.
// The kinds are macros (#define NAME), classes, structs, unions and enums with a body,
// enumerators, type aliases (typedef, using NAME =), namespaces, and functions with a body at
// namespace or class scope, members defined outside their class included; in a function's body,
// only types and type aliases. Every branch of an #if is read, but that of an "#if 0" and those
// after a branch that leaves a brace open or closes one it did not open; #define is read in every
// branch. Memory follows the longest declaration, not the file.
std::vector<Definition> FindDefinitions(std::istream& source);
// The same, of a whole file read in place: `lines` as SourceText::lines gives them.
std::vector<Definition> FindDefinitions(std::string_view lines);

}  // namespace lexpaint

#endif  // LEXPAINT_SITE_DEFINITION_FINDER_H_
