#ifndef LEXPAINT_SITE_DECLARATION_H_
#define LEXPAINT_SITE_DECLARATION_H_

// What a declaration defines, read from its tokens: the tokens of a namespace or class scope
// before its '{' or ';', as the definition finder collects them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "code_lexer.h"
#include "declaration_words.h"
#include "definition_finder.h"

namespace lexpaint {

// Whether a statement of a function's body that starts with `token` may define a type or an
// alias; other statements of a body define nothing.
bool MayStartBodyDefinition(const Token& token);

// Skips what may stand before a declaration in `s` from `i` on: template heads and a class's
// requires-clause, attributes, specifiers, and macros with or without arguments. Returns the
// index of the first token after them.
std::size_t SkipDecorations(const Tokens& s, std::size_t i);

// Whether `s`, the tokens of a class's body before a ':' that no other ':' follows, is a label
// rather than the start of a bit-field: a word that a macro makes an access specifier
// ("JSON_PRIVATE_UNLESS_TESTED:", "signals:"), or a word after one ("public slots:").
bool IsLabel(const Tokens& s);

// Whether `s` ends inside a template's parameters: after "template <" and before its '>'.
bool InTemplateHead(const Tokens& s);

struct FunctionHead {
  Found name;
  bool initList = false;                 // the body's brace may instead open a member's initializer
  std::optional<std::string> qualifier;  // B of "A::B::f", without its template arguments
};

// The function that `s`, a declaration ending before a '{', defines, if it is one. `className`
// is that of the class whose scope `s` stands in, whose constructors have no return type.
std::optional<FunctionHead> FindFunction(const Tokens& s, std::string_view className);

// A function defined in C's old style names its parameters in its parentheses and declares
// them after them: "int f(a, b) int a; char *b; {...}". In `s`, from `first`, the first token
// after its decorations, these return the index of the ')' after the names ("int f(a, b)") and
// their count in `*count`; and whether the tokens from `from` on, up to a ';', declare a
// parameter ("int a").
std::optional<std::size_t> OldStyleNamesEnd(const Tokens& s, std::size_t first, std::size_t* count);
bool DeclaresOldStyleParameter(const Tokens& s, std::size_t from);

// The class, struct, union or enum whose body a '{' after `s` opens, if `s` is such a head.
// `first` is the index of the first token after the decorations, as SkipDecorations(s, 0) gives.
struct TypeHead {
  Definition::Kind kind;
  std::optional<Found> name;             // nothing for an anonymous type
  std::optional<std::string> qualifier;  // A of "struct A::B", defined outside its class
  std::vector<std::string> bases{};      // B of "struct A : public ns::B<T>", for each base
};
std::optional<TypeHead> FindTypeHead(const Tokens& s, std::size_t first);

}  // namespace lexpaint

#endif  // LEXPAINT_SITE_DECLARATION_H_
