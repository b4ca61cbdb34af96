#ifndef LEXPAINT_SITE_LOCAL_SCOPES_H_
#define LEXPAINT_SITE_LOCAL_SCOPES_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "code_lexer.h"

namespace lexpaint {

// A name declared in a function or a template, and the lines [first, last] where it means that
// declaration: from the line of its name to the end of its scope.
struct LocalName {
  std::string name;
  std::uint64_t first = 0;
  std::uint64_t last = 0;
  // Of a variable or parameter, the name of its type where one word names it, after the word
  // that qualifies it if any: "ns::Box" of "const ns::Box<T>& b", and "Box*" for a pointer to a
  // Box; "" for "auto", a built-in type or none.
  std::string type{};
  // A member function that a class's body declares: in that body it means the class's own
  // definitions of the name, if the tree has any, rather than a local declaration.
  bool function = false;
};

// Follows the scopes of C or C++ source a token at a time, directives left out, and lists the
// names declared in them: parameters of functions, lambdas and templates; local variables,
// structured bindings and the variables of for, range-for, catch, if, while and switch heads;
// the aliases a block's "using X = ...;" and "typedef ... X;" declare.
// A template's parameters belong to the declaration that follows it, a class's body included;
// a parameter of a prototype, to the prototype; a data member or a member function, to its
// class's body.
//
// It reads the way a compiler would not: a statement that has the shape "type name" followed by
// '=', ';', '(', '{', '[', ',' or ':' is taken for a declaration, whatever the words mean. A
// mistake only ever keeps a name from linking.
class LocalScopes {
 public:
  LocalScopes();

  void Feed(const Token& token);
  // Adds a name that means its own declaration on the lines [first, last] and nowhere else, such
  // as a macro's parameter on the lines of its #define.
  void DeclareOn(std::string name, std::uint64_t first, std::uint64_t last) {
    names_.push_back({std::move(name), first, last});
  }
  // The next '{' opens the body of a function defined in C's old style, "int f(a, b) int a;
  // char *b; {", whose parameters, named in its head, are `parameters`: it is a block, where they
  // mean themselves. The definition finder tells, which reads the head as a declaration.
  void ExpectOldStyleBody(std::vector<LocalName> parameters) {
    oldStyleNames_ = std::move(parameters);
  }
  // Ends the input, whose last line is `lastLine`, and hands over the names, in the order
  // declared. Scopes still open end at that line.
  std::vector<LocalName> Finish(std::uint64_t lastLine);

 private:
  enum class GroupKind : unsigned char {
    kDeclarations,  // the file, a namespace's or a class's body, an extern "C" block
    kBlock,         // a function's or a lambda's body, or a block in one
    kInitializer,   // braces of an initializer or of an enum's body
    kParentheses,
    kBrackets,
    kTemplateHead,  // the angle brackets after "template"
  };
  // The statement whose head a group of parentheses is, or the requires-expression whose
  // parameters it holds.
  enum class Control : unsigned char { kNone, kCondition, kFor, kCatch, kRequires };
  // How far the current item of a group, a statement or a parameter, has been read: its head,
  // whose tokens are kept, decides whether it declares a name; a declaration may go on with
  // more declarators after commas.
  // A statement of a block that starts with "using" or "typedef" is kAlias: its tokens are kept
  // to its ';', where the alias's name is read.
  enum class ItemState : unsigned char { kHead, kDeclared, kDeclarator, kOther, kAlias };

  // An open bracket of any kind, or the file. The names in open_[owned, pending) end with the
  // group; those from pending on wait for the body of a function, lambda or statement, and end
  // at the ';' that ends their declaration if no body comes.
  struct Group {
    GroupKind kind;
    Control control = Control::kNone;
    ItemState state = ItemState::kHead;
    std::size_t itemStart = 0;  // into tokens_: the current item's kept tokens
    std::size_t owned = 0;
    std::size_t pending = 0;
    int angles = 0;                 // angle brackets open in the item
    bool controlStatement = false;  // a block's statement is an if, for, else...
    bool typeKey = false;           // class, struct, union, namespace or extern "C" seen
    bool enumKey = false;
    bool namespaceKey = false;  // namespace or extern "C" seen
    bool linkage = false;       // extern "C" seen
    bool equals = false;
    bool parens = false;            // a group of parentheses closed in the item
    bool initColon = false;         // a constructor's member initializers have started
    bool arrow = false;             // "->" seen since the last parentheses
    bool structured = false;        // brackets of a structured binding
    bool classBody = false;         // declarations of a class's members
    bool lambdaParameters = false;  // parentheses right after a lambda's captures
    bool lambdaNext = false;        // a lambda's parameters closed in the item
  };

  [[gnu::noinline]] bool ColonPending(const Token& token);
  [[gnu::noinline]] void OpenGroup(const Token& token);
  [[gnu::noinline]] void Angle(const Token& token);
  void Open(GroupKind kind);
  void OpenBrace();
  void Close(const Token& token);
  void CloseGroup(const Token& token);
  void Colon(const Token& token);
  void EndItem(const Token& token);
  void ItemToken(const Token& token);
  void StatementToken(Group& group, const Token& token);
  void Decide(Group& group);
  void DecideMember(Group& group, bool atEnd);
  void DeclareMemberFunction(Group& group);
  bool DeclareDeclarator(std::size_t from, std::size_t to);
  void ResetItem(Group& group);
  bool IsDeclaration(std::size_t from, std::size_t to, bool parameter, bool templateHead) const;
  void ReadParameter(std::size_t from, std::size_t to, bool templateHead);
  std::size_t DeclaredName(std::size_t from, std::size_t to) const;
  // Declares the kept token `token`; the kept tokens from `typeFrom` up to it name its type.
  void Declare(std::size_t token, std::size_t typeFrom = kNoType);
  static constexpr std::size_t kNoType = ~std::size_t{0};
  std::string TypeName(std::size_t from, std::size_t to) const;
  void DeclareLabel(const Token& token);
  void DeclareAlias(const Group& group);
  void EndNames(std::size_t from, std::uint64_t line);
  bool Keeps(const Group& group) const;
  bool StatementLike(const Group& group) const;
  void Remember(const Token& token);
  void Keep(const Token& token);
  bool IsStructuredBinding(const Group& group) const;
  static bool IsBrace(GroupKind kind) {
    return kind == GroupKind::kDeclarations || kind == GroupKind::kBlock ||
           kind == GroupKind::kInitializer;
  }

  std::vector<Group> groups_;
  Tokens tokens_;                  // the kept tokens of the items being read
  std::vector<std::size_t> open_;  // into names_: the names whose scope has not ended
  std::vector<LocalName> names_;
  // Of the token fed last: its punctuation character or '\0', and its word's classes.
  char previous_ = '\0';
  unsigned previousWord_ = 0;
  unsigned classes_ = 0;  // of the token being fed, if it is a word
  bool previousIsWord_ = false;
  bool colonPending_ = false;         // the last token was a ':' that may start a "::"
  Control control_ = Control::kNone;  // of the control word that the next '(' follows
  bool controlWordLast_ = false;      // the last token was a control word
  std::uint64_t line_ = 0;
  // The ')' fed so far, and the number of the last that closed a requires-expression's
  // parameters, whose body may follow.
  std::uint64_t closedParens_ = 0;
  std::uint64_t requiresParen_ = ~std::uint64_t{0};
  std::vector<LocalName> oldStyleNames_;  // the parameters of the body the next '{' opens
};

}  // namespace lexpaint

#endif  // LEXPAINT_SITE_LOCAL_SCOPES_H_
