#ifndef LEXPAINT_SITE_TYPEDEF_NAMES_H_
#define LEXPAINT_SITE_TYPEDEF_NAMES_H_

// The names that a typedef or an alias declaration declares, and the types they stand for.

#include <cstddef>
#include <string>
#include <vector>

#include "code_lexer.h"
#include "declaration_words.h"

namespace lexpaint {

// A name that an alias declares, and the type it stands for where a name alone names it, after
// the word that qualifies it if any ("std::basic_string" of "using S = std::basic_string<char>;"):
// "" for a pointer, a built-in type or any other.
struct Alias {
  Found name;
  std::string type;
};

// The names a typedef declares, from `first`, the token after "typedef": each declarator's name,
// or the name inside the parentheses of a pointer to function.
std::vector<Alias> TypedefNames(const Tokens& s, std::size_t first);

// The type that the tokens [from, to) of s name, as Alias::type.
std::string AliasedType(const Tokens& s, std::size_t from, std::size_t to);

}  // namespace lexpaint

#endif  // LEXPAINT_SITE_TYPEDEF_NAMES_H_
