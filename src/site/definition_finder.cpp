#include "definition_finder.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "code_lexer.h"
#include "declaration.h"

namespace lexpaint {
namespace {

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
      ignoring_ = !MayStartBodyDefinition(token);
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
