#ifndef LEXPAINT_SITE_DEFINITION_FINDER_H_
#define LEXPAINT_SITE_DEFINITION_FINDER_H_

#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "local_scopes.h"

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
  // Where the definition is made: in the body of a class, struct or union, of a namespace or of
  // an enum, outside the scope that its qualifier names (A of "void A::f() {}"), or in a
  // function's body, where only that block sees it. kNoScope at file scope and in an extern "C"
  // block.
  enum ScopeKind : unsigned char { kNoScope, kInClass, kInNamespace, kInEnum, kQualified, kInBody };

  std::string name;
  Kind kind = kFunction;
  std::uint64_t line = 0;
  ScopeKind scopeKind = kNoScope;
  std::string scope{};  // the name of that class, namespace, enum or qualifier; "" if anonymous
  std::vector<std::string> bases{};  // of a class, struct or union: its base classes' names
  std::string aliased{};             // of a type alias: the type it stands for, as Alias::type
  // Made in an anonymous namespace, or a function declared static outside any class: no other
  // translation unit can name it.
  bool internal = false;
};

// A stretch of lines, [first, last], that belongs to a class: its body, or the body of a member
// function defined outside it. In such lines, a name the class defines means its member.
struct ClassLines {
  std::string className;
  std::uint64_t first = 0;
  std::uint64_t last = 0;
  bool memberFunction = false;  // the body of a member function, not the class's own
};

// What decides the meaning of a file's names, besides the definitions.
struct NameScopes {
  std::vector<ClassLines> classes;  // in the order they end
  std::vector<LocalName> locals;    // in the order they are declared
};

// The name of `kind` in a tags file: "macro", "class", ...
std::string_view KindName(Definition::Kind kind);

// Whether `kind` is that of a type: a class, struct, union, enum or type alias.
bool IsTypeKind(Definition::Kind kind);
// Whether `kind` is that of a class, struct or union.
bool IsClassKind(Definition::Kind kind);

// Finds the definitions in C or C++ source, lexically: no file is included and no macro expanded.
// The kinds are macros (#define NAME), classes, structs, unions and enums with a body,
// enumerators, type aliases (typedef, using NAME =), namespaces, and functions with a body at
// namespace or class scope, members defined outside their class included; in a function's body,
// only types and type aliases. Every branch of an #if is read, but that of an "#if 0" and those
// after a branch that leaves a brace open or closes one it did not open; #define is read in every
// branch. Memory follows the longest declaration, not the file.
// With `scopes`, also fills it with the file's class stretches and local names.
std::vector<Definition> FindDefinitions(std::istream& source, NameScopes* scopes = nullptr);
// The same, of a whole file read in place: `lines` as SourceText::lines gives them.
std::vector<Definition> FindDefinitions(std::string_view lines, NameScopes* scopes = nullptr);

}  // namespace lexpaint

#endif  // LEXPAINT_SITE_DEFINITION_FINDER_H_
