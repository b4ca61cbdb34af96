#ifndef LEXPAINT_SITE_LOCAL_WORDS_H_
#define LEXPAINT_SITE_LOCAL_WORDS_H_

#include "code_lexer.h"

namespace lexpaint {
namespace local_words {

// The words that tell the local scopes how what they read goes on: keywords, by the classes
// they belong to, as bits.
enum WordClass : unsigned {
  kKeyword = 1,         // never a declared name
  kStatementStart = 2,  // starts a statement that declares nothing
  kBodyTail = 4,        // may stand between a function's parameters and its body
  kCondition = 8,       // if, while, switch
  kFor = 16,
  kCatch = 32,
  kPrefix = 64,  // else, do, try: a statement follows
  kTemplate = 128,
  kAuto = 256,
  kAccess = 512,    // public, private, protected
  kTypeKey = 1024,  // class, struct, union, namespace
  kEnumKey = 2048,
  kNoName = 4096,  // a parameter's word that a type name follows, not a parameter's name
  kExtern = 8192,
  kConstexpr = 16384,
  kOperator = 32768,
  kLabel = 65536,  // case, default
  kNamespace = 131072,
  kGoto = 262144,
  kAlias = 524288,  // using, typedef: may declare a type's alias
  kRequires = 1048576,
  kQualifier = 2097152,  // const, struct, static...: may stand in a type before or after its name
};

// The classes of `token`, if it is a word of one; else 0.
unsigned ClassesOf(const Token& token);

inline bool IsWord(const Token& t) { return t.kind == TokenType::kIdentifier; }

// A word that may be a declared name.
inline bool IsNameWord(const Token& t) { return IsWord(t) && (ClassesOf(t) & kKeyword) == 0; }

// Punctuation that a declaration's head may hold: that of qualified names, template arguments,
// pointers and references, and the ')' or ']' left where a group of its closed.
inline bool MayStandInDeclaration(char c) {
  return c == ':' || c == '<' || c == '>' || c == '*' || c == '&' || c == ',' || c == ')' ||
         c == ']' || c == '.';
}

}  // namespace local_words
}  // namespace lexpaint

#endif  // LEXPAINT_SITE_LOCAL_WORDS_H_
