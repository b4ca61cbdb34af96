#include "definition_finder.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "code_lexer.h"
#include "declaration.h"
#include "typedef_names.h"

namespace lexpaint {
namespace {

class Finder {
 public:
  Finder(std::istream& source, NameScopes* names) : lexer_(source), names_(names) {
    scopes_.push_back({});
  }
  Finder(std::string_view lines, NameScopes* names) : lexer_(lines), names_(names) {
    scopes_.push_back({});
  }

  std::vector<Definition> Run() {
    Token token;
    std::uint64_t line = 0;
    while (lexer_.Next(&token)) {
      line = token.line;
      if (token.kind == TokenType::kDirective) {
        ReadDirective();
      } else if (skippedBranches_ == 0) {
        Feed(token);
        if (names_ != nullptr) locals_.Feed(token);
      }
    }
    if (names_ != nullptr) names_->locals = locals_.Finish(line);
    return std::move(definitions_);
  }

 private:
  // What a scope's declarations may define: anything at namespace scope; anything but namespaces
  // in a class; enumerators in an enum; types and type aliases in a function's body or a block.
  enum class ScopeKind { kDeclarations, kClass, kEnum, kBody };

  struct Scope {
    ScopeKind kind = ScopeKind::kDeclarations;
    // Of a class scope, whose constructors have no return type; of a namespace or an enum, its
    // name; of a member function's body defined outside its class, the class.
    std::string className;
    std::uint64_t firstLine = 0;
    Tokens outer;  // the declaration the scope's body stands in, to go on after it
    bool keepOuter = false;
    int depth = 0;           // parentheses and braces open in an enum body
    bool itemStart = true;   // an enum body is at the start of an enumerator
    bool anonymous = false;  // an anonymous namespace
  };

  // An #if, #ifdef or #ifndef and its branches. Every branch is read but that of an "#if 0", and
  // those after a branch that left brackets open or closed ones it did not open: the brackets of
  // the branches would not balance. A template's parameters count as brackets here, so that of
  // two versions of its last, "bool B = X<T>()>" and "bool B = Y<T>()>", the first alone ends it.
  struct Conditional {
    bool reading;      // the current branch is read
    bool taken;        // a branch has been read
    bool closed;       // no later branch is read
    int bracketLevel;  // at the start of the branch read last
  };

  // The braces, parentheses and brackets open, and a template's parameters.
  int BracketLevel() const {
    const int level = braces_ + parens_ + scopes_.back().depth + InTemplateHead(statement_);
    return level + static_cast<int>(scopes_.size());
  }

  // The words of the directives that the finder reads.
  enum class DirectiveWord { kDefine, kIf, kIfdef, kIfndef, kElif, kElse, kEndif, kOther };

  static DirectiveWord DirectiveWordOf(const Token& word) {
    static constexpr std::pair<std::string_view, DirectiveWord> kWords[] = {
        {"define", DirectiveWord::kDefine}, {"if", DirectiveWord::kIf},
        {"ifdef", DirectiveWord::kIfdef},   {"ifndef", DirectiveWord::kIfndef},
        {"elif", DirectiveWord::kElif},     {"else", DirectiveWord::kElse},
        {"endif", DirectiveWord::kEndif}};
    for (const auto& [text, directive] : kWords) {
      if (word.Is(text)) return directive;
    }
    return DirectiveWord::kOther;
  }

  void PushConditional(bool reading) {
    conditionals_.push_back({reading, reading, false, BracketLevel()});
    skippedBranches_ += reading ? 0 : 1;
  }

  void PopConditional() {
    skippedBranches_ -= conditionals_.back().reading ? 0 : 1;
    conditionals_.pop_back();
  }

  // At an #elif or #else: decides whether the branch it starts is read.
  void NextBranch(Conditional& c, bool zero) {
    const int level = BracketLevel();
    if (c.taken && level != c.bracketLevel) c.closed = true;
    skippedBranches_ -= c.reading ? 0 : 1;
    c.reading = !c.closed && !zero;
    skippedBranches_ += c.reading ? 0 : 1;
    c.taken |= c.reading;
    c.bracketLevel = level;
  }

  void Add(Found name, Definition::Kind kind, std::optional<std::string> qualifier = {}) {
    Definition& added = definitions_.emplace_back();
    added.name = std::move(name.name);
    added.kind = kind;
    added.line = name.line;
    if (qualifier) {
      added.scopeKind = Definition::kQualified;
      added.scope = std::move(*qualifier);
    } else if (kind != Definition::kMacro) {  // a macro is in no scope, wherever it is defined
      SetScope(added);
    }
    added.internal = kind != Definition::kMacro &&
                     std::any_of(scopes_.begin(), scopes_.end(),
                                 [](const Scope& scope) { return scope.anonymous; });
  }

  // The innermost scope that has a name, or is a class's, or is a body.
  void SetScope(Definition& definition) const {
    for (std::size_t k = scopes_.size(); k-- > 1;) {
      const Scope& scope = scopes_[k];
      if (scope.kind == ScopeKind::kBody) {
        definition.scopeKind = Definition::kInBody;
        return;
      }
      if (scope.kind == ScopeKind::kClass || scope.kind == ScopeKind::kEnum ||
          !scope.className.empty()) {
        definition.scopeKind = scope.kind == ScopeKind::kClass  ? Definition::kInClass
                               : scope.kind == ScopeKind::kEnum ? Definition::kInEnum
                                                                : Definition::kInNamespace;
        definition.scope = scope.className;
        return;
      }
    }
  }

  // Reads a directive after its '#'. Only its word and its first argument matter: "#if 0" is
  // one with a single argument, the number 0.
  void ReadDirective() {
    Token next;
    if (!lexer_.Next(&next) || next.kind == TokenType::kDirectiveEnd) return;
    const DirectiveWord word = DirectiveWordOf(next);
    if (word == DirectiveWord::kDefine) return ReadDefine();
    int args = 0;
    bool firstIsZero = false;
    while (lexer_.Next(&next) && next.kind != TokenType::kDirectiveEnd) {
      if (args++ > 0) continue;
      firstIsZero = next.kind == TokenType::kNumber && next.text == "0";
    }
    const bool zero = args == 1 && firstIsZero;
    // A branch that starts or ends inside a declaration may leave some of its words out.
    conditionalInStatement_ |= !statement_.empty() && word != DirectiveWord::kOther;
    switch (word) {
      case DirectiveWord::kIf:
        return PushConditional(!zero);
      case DirectiveWord::kIfdef:
      case DirectiveWord::kIfndef:
        return PushConditional(true);
      case DirectiveWord::kElif:
      case DirectiveWord::kElse:
        if (!conditionals_.empty()) {
          NextBranch(conditionals_.back(), word == DirectiveWord::kElif && zero);
        }
        return;
      case DirectiveWord::kEndif:
        if (!conditionals_.empty()) PopConditional();
        return;
      default:
        return;
    }
  }

  // Reads a #define after its word: the macro's name, and the parameters of a function-like
  // macro, whose name the '(' follows with no blank. Each parameter means itself on the lines of
  // the directive, wherever it stands there.
  void ReadDefine() {
    Token next;
    if (!lexer_.Next(&next) || next.kind == TokenType::kDirectiveEnd) return;
    const std::uint64_t firstLine = next.line;
    const char* nameEnd = nullptr;
    if (IsName(next)) {
      Add({std::string(next.text), next.line}, Definition::kMacro);
      nameEnd = next.text.data() + next.text.size();
    }
    if (!lexer_.Next(&next)) return;
    macroParameters_.clear();
    if (nameEnd != nullptr && next.Is('(') && next.text.data() == nameEnd) {
      while (lexer_.Next(&next) && next.kind != TokenType::kDirectiveEnd && !next.Is(')')) {
        if (IsName(next)) macroParameters_.emplace_back(next.text);
      }
    }
    // A template in the body declares its parameters there, as a template outside one does.
    std::optional<LocalScopes> templated;
    while (next.kind != TokenType::kDirectiveEnd && lexer_.Next(&next)) {
      if (names_ == nullptr || next.kind == TokenType::kDirectiveEnd) continue;
      if (!templated && next.Is("template")) templated.emplace();
      if (templated) templated->Feed(next);
    }
    if (names_ == nullptr) return;
    for (std::string& parameter : macroParameters_) {
      locals_.DeclareOn(std::move(parameter), firstLine, next.line);
    }
    if (!templated) return;
    for (LocalName& local : templated->Finish(next.line)) {
      // A class in the body has no stretch of its own to tell its member functions by.
      if (local.function) continue;
      locals_.DeclareOn(std::move(local.name), local.first, std::min(local.last, next.line));
    }
  }

  void Feed(const Token& token) {
    if (token.firstColumn && IsName(token) && Lost() && StartsDeclaration(token) &&
        !(IsClassKey(token) && AwaitsOldStyleDeclarations())) {
      PickUp();
    }
    Scope& scope = scopes_.back();
    switch (scope.kind) {
      case ScopeKind::kEnum:
        FeedEnum(token);
        return;
      default:
        FeedDeclaration(token);
    }
  }

  // Whether the finder may have lost the thread: it is in a function's body or an enum's, inside
  // brackets, or after a macro's arguments with no ';'.
  bool Lost() const {
    const ScopeKind kind = scopes_.back().kind;
    return kind == ScopeKind::kBody || kind == ScopeKind::kEnum || parens_ > 0 || braces_ > 0 ||
           (!statement_.empty() && statement_.back().Is(')'));
  }

  // Words that start a declaration at namespace scope, and seldom start a line of a body or an
  // expression.
  static bool StartsDeclaration(const Token& word) {
    for (std::string_view start : {"typedef", "namespace", "template", "extern", "static", "struct",
                                   "class", "union", "enum"}) {
      if (word.Is(start)) return true;
    }
    return false;
  }

  static bool IsClassKey(const Token& word) {
    return word.Is("struct") || word.Is("union") || word.Is("enum");
  }

  // Whether the statement is the head of a function defined in C's old style up to the ')' after
  // its parameters' names, whose declarations follow: "struct s *p;" is one.
  bool AwaitsOldStyleDeclarations() const {
    std::size_t count = 0;
    const std::optional<std::size_t> close =
        OldStyleNamesEnd(statement_, SkipDecorations(statement_, 0), &count);
    return close && *close + 1 == statement_.size();
  }

  // Goes on at namespace or class scope, at a word in the first column that starts a declaration
  // there: the brackets before it that are left open were misread.
  void PickUp() {
    while (scopes_.size() > 1 &&
           (scopes_.back().kind == ScopeKind::kBody || scopes_.back().kind == ScopeKind::kEnum)) {
      scopes_.pop_back();
    }
    ClearStatement();
    oldStyleHead_.clear();
    parens_ = 0;
    braces_ = 0;
  }

  void FeedEnum(const Token& token) {
    Scope& scope = scopes_.back();
    const char c = token.Punctuation();
    if (c == '(' || c == '[' || c == '{') ++scope.depth;
    if (c == ')' || c == ']' || c == '}') {
      if (scope.depth == 0) return CloseScope(token.line);
      --scope.depth;
    }
    if (scope.depth > 0) return;
    if (c == ',') {
      scope.itemStart = true;
    } else if (scope.itemStart && IsName(token)) {
      Add({std::string(token.text), token.line}, Definition::kEnumerator);
      scope.itemStart = false;
    } else {
      scope.itemStart = false;
    }
  }

  void FeedDeclaration(const Token& token) {
    const char c = token.Punctuation();
    // A case label ends at its ':', unless another follows it: "case A::B:".
    const bool scopeColon = caseColon_ && c == ':';
    if (caseColon_ && !scopeColon) ClearStatement();
    caseColon_ = false;
    if (braces_ > 0) {  // inside an initializer, whose tokens are not kept
      if (c == '{') ++braces_;
      if (c == '}' && --braces_ == 0) Keep(token);
      return;
    }
    if (c == '(' || c == '[') ++parens_;
    if ((c == ')' || c == ']') && parens_ > 0) --parens_;
    if (token.Is("namespace") && parens_ == 0 && MisreadBeforeNamespace()) ClearStatement();
    if (parens_ > 0 || !(c == ';' || c == '{' || c == '}' || c == ':')) {
      if (c == '{') braces_ = 1;
      Keep(token);
      return;
    }
    if (c == ';') return EndStatement();
    if (c == '}') return CloseScope(token.line);
    if (c == ':') {
      if (IsAccessLabel()) return ClearStatement();
      // A label that a macro makes ends at its ':' too, unless another follows it: "A::B".
      const bool label =
          caseLabel_ || (scopes_.back().kind == ScopeKind::kClass && IsLabel(statement_));
      caseColon_ = label && !scopeColon;
      Keep(token);
      return;
    }
    OpenBrace(token);
  }

  // Most statements of a function's body can define nothing, and are not kept: those that do
  // not start like a type or an alias.
  void Keep(const Token& token) {
    if (statement_.empty() && scopes_.back().kind == ScopeKind::kBody && !ignoring_) {
      ignoring_ = !MayStartBodyDefinition(token);
      caseLabel_ = token.Is("case") || token.Is("default");
    }
    if (!ignoring_) statement_.push_back(token);
  }

  // "namespace" starts a declaration of its own but after "using", "inline" or "export", so what
  // stands before it was misread, as Objective-C's "@end" is.
  bool MisreadBeforeNamespace() const {
    if (statement_.empty()) return false;
    const Token last = statement_.back();
    return !(last.Is("using") || last.Is("inline") || last.Is("export"));
  }

  void ClearStatement() {
    statement_.clear();
    ignoring_ = false;
    caseLabel_ = false;
    conditionalInStatement_ = false;
  }

  // "public:", "public slots:", also after what a macro without ';' left before it, as Qt's
  // "Q_OBJECT" or "DECLARE(x)" are.
  bool IsAccessLabel() const {
    const Tokens& s = statement_;
    if (scopes_.back().kind != ScopeKind::kClass || s.empty()) return false;
    const auto access = [](const Token& t) {
      return t.Is("public") || t.Is("private") || t.Is("protected");
    };
    std::size_t word = s.size() - 1;
    if (!access(s[word])) {
      if (word == 0 || !access(s[word - 1]) || !IsName(s[word])) return false;
      --word;
    }
    // Not a base's access in a nested class's head: "struct N : public ::B", "virtual public
    // ns::B".
    const bool base =
        word > 0 && (s[word - 1].Is(':') || s[word - 1].Is(',') || s[word - 1].Is("virtual"));
    return !base;
  }

  void EndStatement() {
    if (ContinuesOldStyleHead()) return ClearStatement();
    Tokens& s = statement_;
    const std::size_t i = SkipDecorations(s, 0);
    std::size_t parameters = 0;
    if (i < s.size() && s[i].Is("typedef")) {
      for (Alias& alias : TypedefNames(s, i + 1)) {
        Add(std::move(alias.name), Definition::kTypedef);
        definitions_.back().aliased = std::move(alias.type);
      }
    } else if (i + 2 < s.size() && s[i].Is("using") && IsName(s[i + 1])) {
      // A macro may stand between the name and '=', as an attribute would.
      const std::size_t equals = SkipDecorations(s, i + 2);
      if (equals < s.size() && s[equals].Is('=')) {
        Add({std::string(s[i + 1].text), s[i + 1].line}, Definition::kTypedef);
        definitions_.back().aliased = AliasedType(s, equals + 1, s.size());
      }
    } else if (scopes_.back().kind == ScopeKind::kDeclarations) {
      const std::optional<std::size_t> close = OldStyleNamesEnd(s, i, &parameters);
      if (close && DeclaresOldStyleParameter(s, *close + 1)) {
        // The head waits for the '{' after the other parameters' declarations.
        s.Truncate(*close + 1);
        std::swap(s, oldStyleHead_);
        oldStyleParametersLeft_ = parameters - 1;
      }
    }
    ClearStatement();
  }

  // Whether the statement just ended declares a parameter of the function defined in C's old
  // style whose head came before it. A statement that cannot be one drops the head.
  bool ContinuesOldStyleHead() {
    if (oldStyleHead_.empty()) return false;
    const std::size_t i = SkipDecorations(statement_, 0);
    if (oldStyleParametersLeft_ > 0 && i < statement_.size() && !statement_[i].Is("typedef")) {
      --oldStyleParametersLeft_;
      return true;
    }
    oldStyleHead_.clear();
    return false;
  }

  // In a function's body, only types and their members are definitions; any other brace opens a
  // block.
  void OpenBrace(const Token& brace) {
    if (!oldStyleHead_.empty()) {  // the body of a function defined in C's old style, if no more
      if (statement_.empty()) {
        std::swap(statement_, oldStyleHead_);
        if (names_ != nullptr) locals_.ExpectOldStyleBody(OldStyleParameters(statement_));
      }
      oldStyleHead_.clear();
    }
    Tokens& s = statement_;
    const bool inBody = scopes_.back().kind == ScopeKind::kBody;
    const std::size_t i = SkipDecorations(s, 0);
    if (i < s.size() && s[i].Is("namespace") && !inBody) return OpenNamespace(i);
    // A macro's arguments with no ';' may come before it.
    if (s.size() >= 2 && s[s.size() - 2].Is("extern") && s.back().kind == TokenType::kLiteral) {
      return Push(ScopeKind::kDeclarations, "", false, brace.line);
    }
    if (std::optional<TypeHead> type = FindTypeHead(s, i)) {
      std::string className = type->name ? type->name->name : "";
      if (type->name) {
        Add(std::move(*type->name), type->kind, std::move(type->qualifier));
        definitions_.back().bases = std::move(type->bases);
      }
      const bool isEnum = type->kind == Definition::kEnum;
      return Push(isEnum ? ScopeKind::kEnum : ScopeKind::kClass, std::move(className), true,
                  brace.line);
    }
    if (inBody) return Push(ScopeKind::kBody, "", false, brace.line);
    if (std::optional<FunctionHead> function = FindFunction(s, scopes_.back().className)) {
      const bool memberInitializer = function->initList && (IsName(s.back()) || s.back().Is('>'));
      if (!memberInitializer) {
        std::string qualifier = function->qualifier.value_or("");
        // From its name on, a member function defined outside its class is in the class's scope,
        // its parameters too.
        const std::uint64_t first = qualifier.empty() ? brace.line : function->name.line;
        Add(std::move(function->name), Definition::kFunction, std::move(function->qualifier));
        if (IsFriend(s, i)) {  // a friend defined in its class belongs to the namespace
          definitions_.back().scopeKind = Definition::kNoScope;
          definitions_.back().scope.clear();
        } else if (scopes_.back().kind != ScopeKind::kClass && !conditionalInStatement_ &&
                   IsStatic(s)) {
          definitions_.back().internal = true;
        }
        return Push(ScopeKind::kBody, std::move(qualifier), false, first);
      }
    }
    if (!s.empty() && !s.back().Is(')')) {  // an initializer: "= {...}", "x{...}"
      braces_ = 1;
      s.push_back(brace);
      return;
    }
    Push(ScopeKind::kBody, FixtureOfTest(s), false, brace.line);
  }

  // The names of the parameters in the parentheses that end `head`, "int f(a, b)", in order.
  static std::vector<LocalName> OldStyleParameters(const Tokens& head) {
    std::vector<LocalName> names;
    std::size_t k = head.size() - 1;  // the ')'
    while (k > 0 && IsName(head[k - 1])) {
      --k;
      names.push_back({std::string(head[k].text), head[k].line});
      if (k == 0 || !head[k - 1].Is(',')) break;
      --k;
    }
    std::reverse(names.begin(), names.end());
    return names;
  }

  // The fixture of a test that GoogleTest's TEST_F(Fixture, Name) { ... } and its kin define:
  // the body is a member function of a class made from the fixture. "" for any other statement.
  // Macros that no ';' ended may come before it.
  static std::string FixtureOfTest(const Tokens& s) {
    if (s.size() < 6) return std::string();
    const std::size_t k = s.size() - 6;
    if (!IsName(s[k]) || !s[k + 1].Is('(') || !IsName(s[k + 2]) || !s[k + 3].Is(',') ||
        !IsName(s[k + 4]) || !s[k + 5].Is(')') || !declaration_words::OnlyMacrosBefore(s, k)) {
      return std::string();
    }
    const bool fixture =
        s[k].Is("TEST_F") || s[k].Is("TEST_P") || s[k].Is("TYPED_TEST") || s[k].Is("TYPED_TEST_P");
    return fixture ? std::string(s[k + 2].text) : std::string();
  }

  // Whether "static" comes before the parameters of the function that `s` declares.
  static bool IsStatic(const Tokens& s) {
    for (std::size_t k = 0; k < s.size() && !s[k].Is('('); ++k) {
      if (s[k].Is("static")) return true;
    }
    return false;
  }

  // Whether the decorations before `first` in `s` hold "friend".
  static bool IsFriend(const Tokens& s, std::size_t first) {
    for (std::size_t k = 0; k < first && k < s.size(); ++k) {
      if (s[k].Is("friend")) return true;
    }
    return false;
  }

  // The name is the last of "a::b::c" right after the keyword; a macro may follow it.
  void OpenNamespace(std::size_t i) {
    std::optional<Found> name;
    const Tokens& s = statement_;
    for (++i; i < s.size() && IsName(s[i]); i += 3) {
      name = Found{std::string(s[i].text), s[i].line};
      if (!(i + 2 < s.size() && s[i + 1].Is(':') && s[i + 2].Is(':'))) break;
    }
    std::string namespaceName = name ? name->name : "";
    if (name) Add(std::move(*name), Definition::kNamespace);
    Push(ScopeKind::kDeclarations, std::move(namespaceName), false, statement_.back().line);
    scopes_.back().anonymous = !name;
  }

  // Opens a scope for the body a '{' starts. A class or enum body is part of a declaration that
  // goes on after it ("struct S {...} s;"); other bodies end theirs.
  // A kept declaration's tokens go with the scope, and the body's statements take spare buffers.
  void Push(ScopeKind kind, std::string className, bool keepOuter, std::uint64_t line) {
    Scope& scope = scopes_.emplace_back();
    scope.kind = kind;
    scope.className = std::move(className);
    scope.firstLine = line;
    scope.keepOuter = keepOuter;
    if (keepOuter) {
      scope.outer = std::move(statement_);
      statement_ = TakeSpare();
    }
    ClearStatement();
    parens_ = 0;
  }

  // The buffers of a statement that a class body left when it closed, if any.
  Tokens TakeSpare() {
    if (spare_.empty()) return {};
    Tokens spare = std::move(spare_.back());
    spare_.pop_back();
    return spare;
  }

  void CloseScope(std::uint64_t line) {
    oldStyleHead_.clear();
    if (scopes_.size() == 1) return ClearStatement();  // a brace with no opener
    Scope& scope = scopes_.back();
    ClearStatement();
    const bool ofClass = scope.kind == ScopeKind::kClass ||
                         (scope.kind == ScopeKind::kBody && !scope.className.empty());
    if (names_ != nullptr && ofClass) {
      names_->classes.push_back(
          {scope.className, scope.firstLine, line, scope.kind == ScopeKind::kBody});
    }
    if (scope.keepOuter) {
      spare_.push_back(std::move(statement_));
      statement_ = std::move(scope.outer);
      statement_.PushPunctuation('{');
      statement_.PushPunctuation('}');
    }
    scopes_.pop_back();
    parens_ = 0;
  }

  CodeLexer lexer_;
  NameScopes* names_;
  LocalScopes locals_;
  std::vector<std::string> macroParameters_;  // of the #define being read
  std::vector<Scope> scopes_;
  std::vector<Conditional> conditionals_;
  int skippedBranches_ = 0;              // conditionals whose current branch is not read
  Tokens statement_;                     // the declaration read so far in the current scope
  std::vector<Tokens> spare_;            // buffers for the statements of class bodies
  bool ignoring_ = false;                // the statement is one whose tokens are not kept
  bool caseLabel_ = false;               // the statement starts with "case" or "default"
  bool caseColon_ = false;               // the last token was the ':' that may end a case label
  bool conditionalInStatement_ = false;  // an #if, #else or #endif came inside the statement
  Tokens oldStyleHead_;  // "int f(a, b)" of "int f(a, b) int a; char *b; {", until its '{'
  std::size_t oldStyleParametersLeft_ = 0;  // the declarations that may still come before it
  int parens_ = 0;                          // parentheses and brackets open in it
  int braces_ = 0;                          // braces open in an initializer in it
  std::vector<Definition> definitions_;
};

}  // namespace

std::string_view KindName(Definition::Kind kind) {
  static constexpr std::string_view kNames[] = {"macro",   "class",    "struct",
                                                "union",   "enum",     "enumerator",
                                                "typedef", "function", "namespace"};
  return kNames[kind];
}

bool IsTypeKind(Definition::Kind kind) {
  return IsClassKind(kind) || kind == Definition::kEnum || kind == Definition::kTypedef;
}

bool IsClassKind(Definition::Kind kind) {
  return kind == Definition::kClass || kind == Definition::kStruct || kind == Definition::kUnion;
}

std::vector<Definition> FindDefinitions(std::istream& source, NameScopes* scopes) {
  return Finder(source, scopes).Run();
}

std::vector<Definition> FindDefinitions(std::string_view lines, NameScopes* scopes) {
  return Finder(lines, scopes).Run();
}

}  // namespace lexpaint
