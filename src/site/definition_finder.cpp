#include "definition_finder.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "code_lexer.h"

namespace lexpaint {
namespace {

using Tokens = std::vector<CodeToken>;

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// Words that may stand before a parenthesis without naming a function.
constexpr std::array<std::string_view, 29> kNotFunctionNames = {"if",
                                                                "while",
                                                                "for",
                                                                "switch",
                                                                "catch",
                                                                "return",
                                                                "sizeof",
                                                                "alignof",
                                                                "alignas",
                                                                "decltype",
                                                                "noexcept",
                                                                "throw",
                                                                "typeid",
                                                                "new",
                                                                "delete",
                                                                "static_assert",
                                                                "requires",
                                                                "__attribute__",
                                                                "__declspec",
                                                                "_Alignas",
                                                                "_Static_assert",
                                                                "__typeof__",
                                                                "typeof",
                                                                "asm",
                                                                "__asm__",
                                                                "co_await",
                                                                "co_return",
                                                                "co_yield",
                                                                "_Pragma"};

// Words that may come before a declaration without being part of its type.
constexpr std::array<std::string_view, 15> kSpecifiers = {
    "static",    "extern",       "inline",   "constexpr", "consteval",
    "constinit", "thread_local", "register", "mutable",   "virtual",
    "explicit",  "friend",       "const",    "volatile",  "__extension__"};

// The types a name of C or C++ is made of, and the words that introduce one.
constexpr std::array<std::string_view, 22> kBuiltInTypes = {
    "int",      "char",   "short", "long",    "unsigned", "signed",   "float",    "double",
    "void",     "bool",   "_Bool", "wchar_t", "char8_t",  "char16_t", "char32_t", "auto",
    "__int128", "struct", "union", "enum",    "class",    "typename"};

// Words that may start a definition in a function's body.
constexpr std::array<std::string_view, 16> kBodyDefinitionStarts = {
    "typedef",  "using",        "class",         "struct",    "union",    "enum",
    "template", "static",       "const",         "constexpr", "volatile", "inline",
    "extern",   "thread_local", "__extension__", "alignas"};

// Words that may follow a function's parameters, before its body.
constexpr std::array<std::string_view, 9> kFunctionTail = {"const",    "volatile", "noexcept",
                                                           "override", "final",    "mutable",
                                                           "throw",    "try",      "__attribute__"};

template <class Token, std::size_t n>
bool IsOneOf(const Token& token, const std::array<std::string_view, n>& words) {
  return token.kind == TokenType::kIdentifier &&
         std::find(words.begin(), words.end(), token.text) != words.end();
}

template <class Token>
bool IsName(const Token& token) {
  return token.kind == TokenType::kIdentifier;
}

// An upper-case word such as _GLIBCXX_NOEXCEPT or __THROW: most likely a macro that expands to
// an attribute or a specifier.
template <class Token>
bool IsMacroLike(const Token& token) {
  if (!IsName(token)) return false;
  bool upper = false;
  for (char c : token.text) {
    if (c >= 'a' && c <= 'z') return false;
    upper |= c >= 'A' && c <= 'Z';
  }
  return upper;
}

bool IsScopeColon(const Tokens& s, std::size_t i) {
  return s[i].Is(':') && ((i + 1 < s.size() && s[i + 1].Is(':')) || (i > 0 && s[i - 1].Is(':')));
}

// The index of the token that closes the group opened at `open`, or s.size(). Angle brackets
// count only themselves and parentheses; the others count their own kind.
std::size_t GroupEnd(const Tokens& s, std::size_t open) {
  const char opener = s[open].text[0];
  const char closer = opener == '(' ? ')' : opener == '[' ? ']' : opener == '{' ? '}' : '>';
  int depth = 0;
  int parens = 0;
  for (std::size_t i = open; i < s.size(); ++i) {
    if (opener == '<' && s[i].Is('(')) ++parens;
    if (opener == '<' && s[i].Is(')')) --parens;
    if (parens > 0) continue;
    if (s[i].Is(opener)) ++depth;
    if (s[i].Is(closer) && --depth == 0) return i;
  }
  return s.size();
}

// The end of the requires-clause of a template's head that starts at `i`: the class key that
// follows it, outside parentheses and angle brackets, or the end of `s`. A function's clause is
// left alone, as no class key follows it.
std::size_t RequiresClauseEnd(const Tokens& s, std::size_t i) {
  for (std::size_t k = i + 1; k < s.size(); ++k) {
    if (s[k].Is('(') || s[k].Is('<')) k = GroupEnd(s, k);
    if (k < s.size() && (s[k].Is("class") || s[k].Is("struct") || s[k].Is("union"))) return k;
  }
  return i;
}

// Skips what may stand before a declaration: template heads, attributes, specifiers, and macros
// with or without arguments. Returns the index of the first token after them.
std::size_t SkipDecorations(const Tokens& s, std::size_t i) {
  while (i < s.size()) {
    const bool group = i + 1 < s.size() && s[i + 1].Is('(');
    if (s[i].Is("template") && i + 1 < s.size() && s[i + 1].Is('<')) {
      i = GroupEnd(s, i + 1) + 1;
    } else if (s[i].Is("requires") && RequiresClauseEnd(s, i) != i) {
      i = RequiresClauseEnd(s, i);
    } else if (s[i].Is('[') && i + 1 < s.size() && s[i + 1].Is('[')) {
      i = GroupEnd(s, i) + 1;
    } else if ((s[i].Is("__attribute__") || s[i].Is("__declspec") || s[i].Is("alignas") ||
                IsMacroLike(s[i])) &&
               group) {
      i = GroupEnd(s, i + 1) + 1;
    } else if (IsOneOf(s[i], kSpecifiers) || IsMacroLike(s[i])) {
      ++i;
    } else {
      break;
    }
  }
  return i;
}

struct Found {
  std::string name;
  std::uint64_t line = 0;
};

// The last name of a qualified name that ends at `last`: "A::B::f" gives "f".
Found NameAt(const Tokens& s, std::size_t last) { return {s[last].text, s[last].line}; }

// The operator function whose parameters open at `open`, such as "operator+" or
// "operator bool", if the tokens before `open` name one; `*index` is then that of "operator".
std::optional<Found> OperatorName(const Tokens& s, std::size_t open, std::size_t* index) {
  constexpr std::size_t kLongestName = 16;  // "operator const std::vector<int>&", for one
  for (std::size_t k = open; k-- > 0 && open - k <= kLongestName;) {
    if (s[k].Is('(') && !(k > 0 && s[k - 1].Is("operator"))) return std::nullopt;
    if (s[k].Is(';') || s[k].Is('{') || s[k].Is('}')) return std::nullopt;
    if (!s[k].Is("operator")) continue;
    std::string name = "operator";
    for (std::size_t t = k + 1; t < open; ++t) {
      if (IsName(s[t]) && IsName(s[t - 1])) name += ' ';
      name += s[t].text;
    }
    *index = k;
    return Found{name, s[k].line};
  }
  return std::nullopt;
}

// True if the tokens [from, to) may stand between a function's parameters and its body.
bool IsFunctionTail(const Tokens& s, std::size_t from, std::size_t to, bool* initList) {
  for (std::size_t i = from; i < to; ++i) {
    const CodeToken& t = s[i];
    if (t.Is('-') && i + 1 < to && s[i + 1].Is('>')) return true;  // a trailing return type
    if (t.Is("requires")) return true;
    if (t.Is(':') && !IsScopeColon(s, i)) {
      *initList = true;
      return true;
    }
    if (t.Is('&') || t.Is('*')) continue;
    if (t.Is('[') && i + 1 < to && s[i + 1].Is('[')) {
      i = GroupEnd(s, i);
      continue;
    }
    if (IsOneOf(t, kFunctionTail) || IsMacroLike(t)) {
      if (i + 1 < to && s[i + 1].Is('(')) i = GroupEnd(s, i + 1);
      continue;
    }
    return false;
  }
  return true;
}

// Whether the tokens before a function's name hold a return type, or the name needs none. A
// word such as _GLIBCXX_NODISCARD may be a macro, but counts as a type: T, a template's
// parameter, looks the same.
bool HasDeclarationBefore(const Tokens& s, std::size_t name, std::string_view className) {
  bool type = false;
  for (std::size_t i = 0; i < name; ++i) {
    const CodeToken& t = s[i];
    if (t.Is('=') || t.Is("return")) return false;
    if (t.Is("template") && i + 1 < name && s[i + 1].Is('<')) {
      i = GroupEnd(s, i + 1);
    } else if (t.Is('[') && i + 1 < name && s[i + 1].Is('[')) {
      i = GroupEnd(s, i);
    } else if (t.Is('(')) {
      i = GroupEnd(s, i);  // an attribute's or a macro's arguments
    } else if ((IsName(t) && !IsOneOf(t, kSpecifiers)) || t.Is('*') || t.Is('&') || t.Is('>')) {
      type = true;
    }
  }
  if (type) return true;
  const std::string& word = s[name].text;
  return word == className || word.rfind("operator", 0) == 0 || word[0] == '~' ||
         (name >= 2 && s[name - 1].Is(':'));
}

struct FunctionHead {
  Found name;
  bool initList = false;  // the body's brace may instead open a member's initializer
};

// The function that `s`, a declaration ending before a '{', defines, if it is one.
std::optional<FunctionHead> FindFunction(const Tokens& s, std::string_view className) {
  for (std::size_t i = 1; i < s.size(); ++i) {
    if (!s[i].Is('(')) continue;
    const std::size_t close = GroupEnd(s, i);
    if (close == s.size()) return std::nullopt;
    std::size_t nameIndex = i - 1;
    std::optional<Found> name = OperatorName(s, i, &nameIndex);
    if (!name) {
      if (s[nameIndex].Is('>')) {  // a template's arguments: f<T>(...)
        std::size_t depth = 0;
        for (; nameIndex > 0; --nameIndex) {
          if (s[nameIndex].Is('>')) ++depth;
          if (s[nameIndex].Is('<') && --depth == 0) break;
        }
        if (nameIndex == 0) continue;
        --nameIndex;
      }
      if (!IsName(s[nameIndex]) || IsOneOf(s[nameIndex], kNotFunctionNames)) {
        i = close;
        continue;
      }
      name = NameAt(s, nameIndex);
      if (nameIndex > 0 && s[nameIndex - 1].Is('~')) {
        name->name.insert(0, "~");
        --nameIndex;
      }
    }
    FunctionHead head{*name, false};
    if (IsFunctionTail(s, close + 1, s.size(), &head.initList) &&
        HasDeclarationBefore(s, nameIndex, className)) {
      return head;
    }
    i = close;
  }
  return std::nullopt;
}

// The class, struct, union or enum whose body a '{' after `s` opens, if `s` is such a head.
struct TypeHead {
  Definition::Kind kind;
  std::optional<Found> name;  // nothing for an anonymous type
};

std::optional<TypeHead> FindTypeHead(const Tokens& s) {
  std::size_t i = SkipDecorations(s, 0);
  if (i < s.size() && s[i].Is("typedef")) i = SkipDecorations(s, i + 1);
  if (i >= s.size()) return std::nullopt;
  TypeHead head{};
  if (s[i].Is("class")) {
    head.kind = Definition::kClass;
  } else if (s[i].Is("struct")) {
    head.kind = Definition::kStruct;
  } else if (s[i].Is("union")) {
    head.kind = Definition::kUnion;
  } else if (s[i].Is("enum")) {
    head.kind = Definition::kEnum;
    if (i + 1 < s.size() && (s[i + 1].Is("class") || s[i + 1].Is("struct"))) ++i;
  } else {
    return std::nullopt;
  }
  for (++i; i < s.size(); ++i) {
    const CodeToken& t = s[i];
    if ((t.Is(':') && !IsScopeColon(s, i)) || t.Is("final")) break;
    if (t.Is('[') && i + 1 < s.size() && s[i + 1].Is('[')) {
      i = GroupEnd(s, i);
    } else if (t.Is('<') && head.name) {
      i = GroupEnd(s, i);  // a specialization's arguments
    } else if (t.Is('(')) {
      if (i == 0 || !(s[i - 1].Is("__attribute__") || s[i - 1].Is("__declspec") ||
                      s[i - 1].Is("alignas") || IsMacroLike(s[i - 1]))) {
        return std::nullopt;  // a function returning the type
      }
      head.name.reset();
      i = GroupEnd(s, i);
    } else if (IsName(t) && !IsOneOf(t, kSpecifiers)) {
      head.name = Found{t.text, t.line};
    } else if (t.Is('=') || t.Is('*') || t.Is('&') || t.Is(',')) {
      return std::nullopt;
    }
  }
  return head;
}

bool IsBuiltInType(const CodeToken& token) { return IsOneOf(token, kBuiltInTypes); }

// A declarator's name: its last word, unless that is an upper-case word right after another
// name, which is then a macro after the name ("foo_t ATTRIBUTE").
struct DeclaratorName {
  std::optional<Found> name;
  std::optional<Found> before;  // the name that the last word follows directly, if any

  void See(const CodeToken& word, bool afterName) {
    before = afterName ? name : std::nullopt;
    name = Found{word.text, word.line};
  }
  std::optional<Found> Take(bool lastIsMacroLike) {
    std::optional<Found> taken = lastIsMacroLike && before ? before : name;
    name.reset();
    before.reset();
    return taken;
  }
};

// The names a typedef declares: each declarator's name, or the name inside the parentheses of a
// pointer to function.
std::vector<Found> TypedefNames(const Tokens& s, std::size_t first) {
  std::vector<Found> names;
  DeclaratorName declarator;
  bool lastIsMacroLike = false;
  const auto finish = [&] {
    if (std::optional<Found> name = declarator.Take(lastIsMacroLike)) names.push_back(*name);
  };
  for (std::size_t i = first; i < s.size(); ++i) {
    const CodeToken& t = s[i];
    if (t.Is('(')) {
      const std::size_t close = GroupEnd(s, i);
      if (i + 1 < s.size() && (s[i + 1].Is('*') || s[i + 1].Is('^') || s[i + 1].Is('&'))) {
        for (std::size_t k = i + 1; k < close; ++k) {
          if (IsName(s[k]) && !IsOneOf(s[k], kSpecifiers)) declarator.See(s[k], false);
        }
        lastIsMacroLike = false;
      }
      i = close;
    } else if (t.Is('[') || t.Is('{')) {
      i = GroupEnd(s, i);
    } else if (t.Is('<') && i > 0 && IsName(s[i - 1])) {
      i = GroupEnd(s, i);
    } else if (t.Is(',')) {
      finish();
    } else if (IsName(t) && !IsOneOf(t, kSpecifiers) && !IsBuiltInType(t)) {
      if (i + 1 < s.size() && s[i + 1].Is('(') && (t.Is("__attribute__") || IsMacroLike(t))) {
        i = GroupEnd(s, i + 1);
        continue;
      }
      const bool afterName =
          IsName(s[i - 1]) && !IsBuiltInType(s[i - 1]) && !IsOneOf(s[i - 1], kSpecifiers);
      declarator.See(t, afterName);
      lastIsMacroLike = IsMacroLike(t);
    }
  }
  finish();
  return names;
}

class Finder {
 public:
  explicit Finder(std::istream& source) : lexer_(source) { scopes_.push_back({}); }

  std::vector<Definition> Run() {
    LexedToken token;
    while (lexer_.Next(&token)) {
      if (token.kind == TokenType::kDirective) {
        ReadDirective();
      } else if (Reading()) {
        Feed(token);
      }
    }
    return std::move(definitions_);
  }

 private:
  // What a scope's declarations may define: anything at namespace scope; anything but namespaces
  // in a class; enumerators in an enum; types and type aliases in a function's body or a block.
  enum class ScopeKind { kDeclarations, kClass, kEnum, kBody };

  struct Scope {
    ScopeKind kind = ScopeKind::kDeclarations;
    std::string className;  // of a class scope, whose constructors have no return type
    Tokens outer;           // the declaration the scope's body stands in, to go on after it
    bool keepOuter = false;
    int depth = 0;          // parentheses and braces open in an enum body
    bool itemStart = true;  // an enum body is at the start of an enumerator
  };

  // An #if, #ifdef or #ifndef and its branches: whether the current branch is read, and whether
  // one has been.
  // An #if, #ifdef or #ifndef and its branches. Every branch is read but that of an "#if 0", and
  // those after a branch that left braces open: the braces of the branches would not balance.
  struct Conditional {
    bool reading;    // the current branch is read
    bool taken;      // a branch has been read
    bool closed;     // no later branch is read
    int braceLevel;  // at the start of the branch read last
  };

  int BraceLevel() const {
    const int level = braces_;
    return level + static_cast<int>(scopes_.size());
  }

  // At an #elif or #else: whether the branch it starts is read.
  bool NextBranch(Conditional& c, bool zero) {
    if (c.taken && BraceLevel() != c.braceLevel) c.closed = true;
    c.reading = !c.closed && !zero;
    c.taken |= c.reading;
    c.braceLevel = BraceLevel();
    return c.reading;
  }

  bool Reading() const {
    return std::all_of(conditionals_.begin(), conditionals_.end(),
                       [](const Conditional& c) { return c.reading; });
  }

  void Add(const Found& name, Definition::Kind kind) {
    definitions_.push_back({name.name, kind, name.line});
  }

  void ReadDirective() {
    LexedToken next;
    if (!lexer_.Next(&next) || next.kind == TokenType::kDirectiveEnd) return;
    const CodeToken word(next);
    std::vector<CodeToken> args;
    while (lexer_.Next(&next) && next.kind != TokenType::kDirectiveEnd) {
      if (args.size() < 2) args.emplace_back(next);
    }
    const bool zero = args.size() == 1 && args[0].kind == TokenType::kNumber && args[0].text == "0";
    if (word.Is("define") && !args.empty() && IsName(args[0])) {
      Add({args[0].text, args[0].line}, Definition::kMacro);
    } else if (word.Is("if") || word.Is("ifdef") || word.Is("ifndef")) {
      const bool reading = !(word.Is("if") && zero);
      conditionals_.push_back({reading, reading, false, BraceLevel()});
    } else if (conditionals_.empty()) {
      return;
    } else if (word.Is("elif") || word.Is("else")) {
      NextBranch(conditionals_.back(), word.Is("elif") && zero);
    } else if (word.Is("endif")) {
      conditionals_.pop_back();
    }
  }

  void Feed(const LexedToken& token) {
    Scope& scope = scopes_.back();
    switch (scope.kind) {
      case ScopeKind::kEnum:
        FeedEnum(token);
        return;
      default:
        FeedDeclaration(token);
    }
  }

  void FeedEnum(const LexedToken& token) {
    Scope& scope = scopes_.back();
    if (token.Is('(') || token.Is('[') || token.Is('{')) ++scope.depth;
    if (token.Is(')') || token.Is(']') || token.Is('}')) {
      if (scope.depth == 0) return CloseScope();
      --scope.depth;
    }
    if (scope.depth > 0) return;
    if (token.Is(',')) {
      scope.itemStart = true;
    } else if (scope.itemStart && IsName(token)) {
      Add({std::string(token.text), token.line}, Definition::kEnumerator);
      scope.itemStart = false;
    } else {
      scope.itemStart = false;
    }
  }

  void FeedDeclaration(const LexedToken& token) {
    if (braces_ > 0) {  // inside an initializer, whose tokens are not kept
      if (token.Is('{')) ++braces_;
      if (token.Is('}') && --braces_ == 0) Keep(token);
      return;
    }
    if (token.Is('(') || token.Is('[')) ++parens_;
    if ((token.Is(')') || token.Is(']')) && parens_ > 0) --parens_;
    if (parens_ > 0 || !(token.Is(';') || token.Is('{') || token.Is('}') || token.Is(':'))) {
      if (token.Is('{')) braces_ = 1;
      Keep(token);
      return;
    }
    if (token.Is(';')) return EndStatement();
    if (token.Is('}')) return CloseScope();
    if (token.Is(':')) {
      if (IsAccessLabel()) return ClearStatement();
      Keep(token);
      return;
    }
    OpenBrace(token);
  }

  // Most statements of a function's body can define nothing, and are not kept: those that do
  // not start like a type or an alias.
  void Keep(const LexedToken& token) {
    if (statement_.empty() && scopes_.back().kind == ScopeKind::kBody && !ignoring_) {
      ignoring_ = !IsOneOf(token, kBodyDefinitionStarts) && !token.Is('[');
    }
    if (!ignoring_) statement_.emplace_back(token);
  }

  void ClearStatement() {
    statement_.clear();
    ignoring_ = false;
  }

  bool IsAccessLabel() const {
    return scopes_.back().kind == ScopeKind::kClass && statement_.size() == 1 &&
           (statement_[0].Is("public") || statement_[0].Is("private") ||
            statement_[0].Is("protected"));
  }

  void EndStatement() {
    const Tokens& s = statement_;
    const std::size_t i = SkipDecorations(s, 0);
    if (i < s.size() && s[i].Is("typedef")) {
      for (const Found& name : TypedefNames(s, i + 1)) Add(name, Definition::kTypedef);
    } else if (i + 2 < s.size() && s[i].Is("using") && IsName(s[i + 1])) {
      // A macro may stand between the name and '=', as an attribute would.
      const std::size_t equals = SkipDecorations(s, i + 2);
      if (equals < s.size() && s[equals].Is('=')) {
        Add({s[i + 1].text, s[i + 1].line}, Definition::kTypedef);
      }
    }
    ClearStatement();
  }

  // In a function's body, only types and their members are definitions; any other brace opens a
  // block.
  void OpenBrace(const LexedToken& brace) {
    Tokens& s = statement_;
    const bool inBody = scopes_.back().kind == ScopeKind::kBody;
    const std::size_t i = SkipDecorations(s, 0);
    if (i < s.size() && s[i].Is("namespace") && !inBody) return OpenNamespace(i);
    if (s.size() == 2 && s[0].Is("extern") && s[1].kind == TokenType::kLiteral) {
      return Push(ScopeKind::kDeclarations, "", false);
    }
    if (std::optional<TypeHead> type = FindTypeHead(s)) {
      if (type->name) Add(*type->name, type->kind);
      const bool isEnum = type->kind == Definition::kEnum;
      const std::string className = type->name ? type->name->name : "";
      return Push(isEnum ? ScopeKind::kEnum : ScopeKind::kClass, className, true);
    }
    if (inBody) return Push(ScopeKind::kBody, "", false);
    if (std::optional<FunctionHead> function = FindFunction(s, scopes_.back().className)) {
      const bool memberInitializer = function->initList && (IsName(s.back()) || s.back().Is('>'));
      if (!memberInitializer) {
        Add(function->name, Definition::kFunction);
        return Push(ScopeKind::kBody, "", false);
      }
    }
    if (!s.empty() && !s.back().Is(')')) {  // an initializer: "= {...}", "x{...}"
      braces_ = 1;
      s.emplace_back(brace);
      return;
    }
    Push(ScopeKind::kBody, "", false);
  }

  // The name is the last of "a::b::c" right after the keyword; a macro may follow it.
  void OpenNamespace(std::size_t i) {
    std::optional<Found> name;
    const Tokens& s = statement_;
    for (++i; i < s.size() && IsName(s[i]); i += 3) {
      name = Found{s[i].text, s[i].line};
      if (!(i + 2 < s.size() && s[i + 1].Is(':') && s[i + 2].Is(':'))) break;
    }
    if (name) Add(*name, Definition::kNamespace);
    Push(ScopeKind::kDeclarations, "", false);
  }

  // Opens a scope for the body a '{' starts. A class or enum body is part of a declaration that
  // goes on after it ("struct S {...} s;"); other bodies end theirs.
  void Push(ScopeKind kind, std::string className, bool keepOuter) {
    Scope scope;
    scope.kind = kind;
    scope.className = std::move(className);
    scope.keepOuter = keepOuter;
    if (keepOuter) scope.outer = std::move(statement_);
    ClearStatement();
    parens_ = 0;
    scopes_.push_back(std::move(scope));
  }

  void CloseScope() {
    if (scopes_.size() == 1) return ClearStatement();  // a brace with no opener
    Scope scope = std::move(scopes_.back());
    scopes_.pop_back();
    ClearStatement();
    statement_ = std::move(scope.outer);
    if (scope.keepOuter) {
      CodeToken body;
      body.text = "{";
      statement_.push_back(body);
      body.text = "}";
      statement_.push_back(body);
    }
    parens_ = 0;
  }

  CodeLexer lexer_;
  std::vector<Scope> scopes_;
  std::vector<Conditional> conditionals_;
  Tokens statement_;       // the declaration read so far in the current scope
  bool ignoring_ = false;  // the statement is one whose tokens are not kept
  int parens_ = 0;         // parentheses and brackets open in it
  int braces_ = 0;         // braces open in an initializer in it
  std::vector<Definition> definitions_;
};

}  // namespace

std::string_view KindName(Definition::Kind kind) {
  static constexpr std::string_view kNames[] = {"macro",   "class",    "struct",
                                                "union",   "enum",     "enumerator",
                                                "typedef", "function", "namespace"};
  return kNames[kind];
}

std::vector<Definition> FindDefinitions(std::istream& source) { return Finder(source).Run(); }

}  // namespace lexpaint
