#include "local_scopes.h"

#include <algorithm>

#include "local_words.h"

namespace lexpaint {

using namespace local_words;

LocalScopes::LocalScopes() { groups_.push_back({GroupKind::kDeclarations}); }

bool LocalScopes::StatementLike(const Group& group) const {
  return group.kind == GroupKind::kBlock ||
         (group.kind == GroupKind::kParentheses &&
          (group.control == Control::kCondition || group.control == Control::kFor));
}

bool LocalScopes::Keeps(const Group& group) const {
  if (StatementLike(group)) {
    return group.state == ItemState::kHead || group.state == ItemState::kDeclarator;
  }
  if (group.kind == GroupKind::kDeclarations) {
    return group.classBody &&
           (group.state == ItemState::kHead || group.state == ItemState::kDeclarator);
  }
  return group.kind == GroupKind::kParentheses || group.kind == GroupKind::kTemplateHead ||
         (group.kind == GroupKind::kBrackets && group.structured);
}

// The common tokens take the short way through here, the rarer ones calls of their own, so that
// this stays light.
void LocalScopes::Feed(const Token& token) {
  line_ = token.line;
  classes_ = ClassesOf(token);
  const char c = token.Punctuation();
  if (colonPending_ && ColonPending(token)) return;
  switch (c) {
    case '(':
    case '[':
      OpenGroup(token);
      break;
    case ')':
    case ']':
    case '}':
      Close(token);
      break;
    case '{':
      OpenBrace();
      break;
    case ';':
      while (groups_.size() > 1 && groups_.back().kind == GroupKind::kTemplateHead) {
        groups_.pop_back();
      }
      EndItem(token);
      break;
    case ',':
      if (groups_.back().angles > 0) {
        ItemToken(token);
      } else {
        EndItem(token);
      }
      break;
    case ':':
      colonPending_ = true;  // remembered once the next token tells whether it starts "::"
      return;
    case '<':
    case '>':
      Angle(token);
      break;
    default:
      if ((previousWord_ & kGoto) != 0 && IsNameWord(token)) DeclareLabel(token);
      ItemToken(token);
  }
  Remember(token);
}

// The ':' before `token` starts a "::" or stands alone; true if `token` is taken in with it.
bool LocalScopes::ColonPending(const Token& token) {
  colonPending_ = false;
  static constexpr Token kColon{TokenType::kPunctuation, ":", 0};
  if (token.Is(':')) {  // "::", part of a name
    ItemToken(kColon);
    ItemToken(token);
    Remember(token);
    previous_ = '\0';  // a ':' right after "::" starts no other "::"
    return true;
  }
  Colon(kColon);
  Remember(kColon);
  return false;
}

void LocalScopes::OpenGroup(const Token& token) {
  const char c = token.Punctuation();
  Group& group = groups_.back();
  const bool structured = c == '[' && StatementLike(group) && IsStructuredBinding(group);
  const bool bracketed = c == '[' && group.kind == GroupKind::kBrackets && group.structured;
  if (structured) {
    group.state = ItemState::kDeclared;
    tokens_.Truncate(group.itemStart);
  } else if (group.angles == 0) {
    ItemToken(token);  // a terminator of a statement's head
  }
  const Control control = c == '(' ? control_ : Control::kNone;
  const bool lambda = c == '(' && previous_ == ']';
  Open(c == '(' ? GroupKind::kParentheses : GroupKind::kBrackets);
  groups_.back().control = control;
  groups_.back().lambdaParameters = lambda;
  groups_.back().structured = structured || bracketed;
}

// A '<' or '>': of a template's head, of template arguments, of "->", or an operator.
void LocalScopes::Angle(const Token& token) {
  Group& group = groups_.back();
  if (token.Is('<')) {
    if (previousIsWord_ && (previousWord_ & kTemplate) != 0) return Open(GroupKind::kTemplateHead);
    if (previousIsWord_ && (previousWord_ & kOperator) == 0) ++group.angles;
  } else if (previous_ == '-') {
    group.arrow = true;
  } else if (group.angles > 0) {
    --group.angles;
  } else if (group.kind == GroupKind::kTemplateHead) {
    return CloseGroup(token);
  }
  ItemToken(token);
}

void LocalScopes::Remember(const Token& token) {
  const char c = token.Punctuation();
  const char before = previous_;
  const unsigned wordBefore = previousWord_;
  previousIsWord_ = IsWord(token);
  previousWord_ = previousIsWord_ ? classes_ : 0;
  previous_ = c;
  const bool afterControlWord = controlWordLast_;
  controlWordLast_ = false;
  if (previousIsWord_) {
    const unsigned controls = previousWord_ & (kCondition | kFor | kCatch);
    if ((previousWord_ & kRequires) != 0) {
      // A requires-expression stands where an expression may: after another "requires", '=',
      // an operator or an opening parenthesis. Elsewhere "requires" starts a clause, whose
      // parentheses hold a constraint.
      const bool expression = (wordBefore & kRequires) != 0 || before == '=' || before == '&' ||
                              before == '|' || before == '(' || before == ',' || before == '!';
      control_ = expression ? Control::kRequires : Control::kNone;
    } else if (controls != 0) {
      control_ = controls == kFor     ? Control::kFor
                 : controls == kCatch ? Control::kCatch
                                      : Control::kCondition;
      controlWordLast_ = true;
    } else if ((previousWord_ & kConstexpr) == 0 &&
               !(afterControlWord && (previousWord_ & kKeyword) == 0)) {
      // No name follows a control word but a macro that stands for constexpr or for nothing,
      // as in "if _GLIBCXX17_CONSTEXPR (...)".
      control_ = Control::kNone;
    }
  } else if (c != '!') {
    control_ = Control::kNone;
  }
}

void LocalScopes::Open(GroupKind kind) {
  Group group{kind};
  group.itemStart = tokens_.size();
  group.owned = group.pending = open_.size();
  groups_.push_back(group);
}

void LocalScopes::ResetItem(Group& group) {
  tokens_.Truncate(group.itemStart);
  const Group kept = group;
  group = Group{kept.kind};
  group.control = kept.control;
  group.itemStart = kept.itemStart;
  group.owned = kept.owned;
  group.pending = kept.pending;
  group.structured = kept.structured;
  group.classBody = kept.classBody;
}

void LocalScopes::OpenBrace() {
  while (groups_.size() > 1 && groups_.back().kind == GroupKind::kTemplateHead) {
    groups_.pop_back();
  }
  Group& group = groups_.back();
  // The body of a requires-expression, "requires { ... }" or "requires (T x) { ... }", is an
  // expression: the template's parameters wait on for the declaration after it.
  const bool requiresBody =
      (previousWord_ & kRequires) != 0 || (previous_ == ')' && requiresParen_ == closedParens_);
  if (requiresBody) {
    Open(GroupKind::kInitializer);
    return;
  }
  if (StatementLike(group) && !group.controlStatement && tokens_.size() > group.itemStart) {
    Decide(group);  // T x{...}
  }
  const bool pending = open_.size() > group.pending;
  // A lambda without parameters has its body right after its captures.
  const bool bodyFollows =
      (pending && (previous_ == ')' || (previousWord_ & kBodyTail) != 0 || group.arrow)) ||
      previous_ == ']' || group.lambdaNext;
  group.lambdaNext = false;
  const bool afterName = (previousIsWord_ && (previousWord_ & kBodyTail) == 0) || previous_ == '>';
  const bool oldStyleBody = !oldStyleNames_.empty();
  GroupKind kind = GroupKind::kInitializer;
  bool receives = false;
  bool classBody = false;
  switch (group.kind) {
    case GroupKind::kDeclarations:
      DecideMember(group, false);  // int x{0};
      classBody = group.typeKey && !group.namespaceKey;
      receives = true;
      if (oldStyleBody) {
        kind = GroupKind::kBlock;
        for (LocalName& name : oldStyleNames_) {
          open_.push_back(names_.size());
          names_.push_back(std::move(name));
        }
      } else if (group.equals && !bodyFollows) {
        kind = GroupKind::kInitializer;
      } else if (group.namespaceKey && !(group.linkage && previous_ == ')')) {
        kind = GroupKind::kDeclarations;  // not the body of extern "C" int f()
      } else if (group.enumKey && previous_ != ')') {
        kind = GroupKind::kInitializer;
      } else if (group.typeKey && previous_ != ')') {  // not "struct S* f() {"
        kind = GroupKind::kDeclarations;
      } else if (group.initColon && afterName) {
        receives = false;  // a member's initializer: the constructor's body comes later
      } else if (bodyFollows || group.parens) {
        kind = GroupKind::kBlock;
      }
      break;
    case GroupKind::kBlock:
      if (bodyFollows || (group.state == ItemState::kHead && tokens_.size() == group.itemStart)) {
        kind = GroupKind::kBlock;
        receives = true;
      }
      break;
    default:
      if (bodyFollows) {
        kind = GroupKind::kBlock;
        receives = true;
      } else if (previous_ == '(') {
        kind = GroupKind::kBlock;  // a statement expression, ({ ... })
      }
  }
  group.arrow = false;
  oldStyleNames_.clear();
  const std::size_t owned = receives ? group.pending : open_.size();
  Open(kind);
  groups_.back().owned = owned;
  groups_.back().classBody = classBody && kind == GroupKind::kDeclarations;
}

void LocalScopes::Close(const Token& token) {
  const char c = token.Punctuation();
  closedParens_ += c == ')';
  const auto matches = [c](GroupKind kind) {
    if (c == ')') return kind == GroupKind::kParentheses;
    if (c == ']') return kind == GroupKind::kBrackets;
    return kind == GroupKind::kDeclarations || kind == GroupKind::kBlock ||
           kind == GroupKind::kInitializer;
  };
  // A closer that matches no open group is passed over; one that skips groups closes them too,
  // but a ')' or ']' never closes a brace.
  std::size_t match = groups_.size() - 1;
  while (match > 0 && !matches(groups_[match].kind)) {
    if (c != '}' && IsBrace(groups_[match].kind)) return;
    --match;
  }
  if (match == 0) return;
  while (groups_.size() > match + 1) CloseGroup(token);
  CloseGroup(token);
}

// Closes the innermost group, at `token`.
void LocalScopes::CloseGroup(const Token& token) {
  Group& group = groups_.back();
  if (IsBrace(group.kind)) {
    EndNames(group.owned, token.line);
  } else if (group.kind == GroupKind::kParentheses && !StatementLike(group)) {
    ReadParameter(group.itemStart, tokens_.size(), false);
  } else if (group.kind == GroupKind::kTemplateHead) {
    ReadParameter(group.itemStart, tokens_.size(), true);
  } else if (group.kind == GroupKind::kBrackets && group.structured) {
    if (tokens_.size() == group.itemStart + 1 && IsNameWord(tokens_[group.itemStart])) {
      Declare(group.itemStart);
    }
  }
  tokens_.Truncate(group.itemStart);
  const Group closed = group;
  groups_.pop_back();
  Group& parent = groups_.back();
  if (closed.structured && closed.kind == GroupKind::kBrackets && parent.pending == closed.owned) {
    parent.pending = open_.size();  // the bindings belong to the statement's scope
  }
  switch (closed.kind) {
    case GroupKind::kParentheses:
      parent.arrow = false;
      parent.lambdaNext |= closed.lambdaParameters;
      if (closed.control == Control::kRequires) {
        requiresParen_ = closedParens_;
        return;
      }
      if (closed.control != Control::kNone && parent.kind == GroupKind::kBlock) {
        ResetItem(parent);
        parent.controlStatement = true;
        return;
      }
      parent.parens = true;
      if (Keeps(parent)) tokens_.PushPunctuation(')');
      return;
    case GroupKind::kBrackets:
      if (Keeps(parent)) tokens_.PushPunctuation(']');
      return;
    case GroupKind::kTemplateHead:
      if (Keeps(parent)) tokens_.PushPunctuation('>');
      return;
    case GroupKind::kBlock:
      if (parent.kind == GroupKind::kDeclarations ||
          (parent.kind == GroupKind::kBlock &&
           (parent.state == ItemState::kHead || parent.state == ItemState::kOther))) {
        ResetItem(parent);  // a function's body, or a statement's, ends it
      }
      return;
    case GroupKind::kDeclarations:
      // A namespace or extern "C" block ends its declaration; a class's goes on to its ';'.
      if (parent.namespaceKey) ResetItem(parent);
      return;
    default:
      return;
  }
}

void LocalScopes::Colon(const Token& token) {
  Group& group = groups_.back();
  switch (group.kind) {
    case GroupKind::kDeclarations:
      if ((previousWord_ & kAccess) != 0) {
        ResetItem(group);
      } else {
        group.initColon = true;
      }
      return;
    case GroupKind::kBlock:
      if (group.state == ItemState::kHead) {
        const std::size_t head = tokens_.size() - group.itemStart;
        if (head <= 1 || (ClassesOf(tokens_[group.itemStart]) & kLabel) != 0) {
          if (head == 1 && IsNameWord(tokens_[group.itemStart])) Declare(group.itemStart);
          ResetItem(group);  // a label, or a case
          return;
        }
      }
      break;
    default:
      break;
  }
  if (StatementLike(group) && group.angles == 0) {
    if (group.state == ItemState::kHead || group.state == ItemState::kDeclarator) Decide(group);
    return;
  }
  ItemToken(token);
}

void LocalScopes::EndItem(const Token& token) {
  Group& group = groups_.back();
  group.lambdaNext = false;
  const bool semicolon = token.Is(';');
  if (StatementLike(group)) {
    if (group.state == ItemState::kHead || group.state == ItemState::kDeclarator) Decide(group);
    if (!semicolon) {
      if (group.state == ItemState::kDeclared) {
        group.state = ItemState::kDeclarator;
        group.itemStart = tokens_.size();
      }
      return;
    }
    if (group.kind == GroupKind::kBlock) {
      if (group.state == ItemState::kAlias) DeclareAlias(group);
      EndNames(group.pending, token.line);
      ResetItem(group);
    } else if (group.control == Control::kFor) {
      group.state = ItemState::kOther;  // the condition and the increment declare nothing
    } else {
      ResetItem(group);
    }
    return;
  }
  switch (group.kind) {
    case GroupKind::kParentheses:
    case GroupKind::kTemplateHead:
      ReadParameter(group.itemStart, tokens_.size(), group.kind == GroupKind::kTemplateHead);
      tokens_.Truncate(group.itemStart);
      group.angles = 0;
      return;
    case GroupKind::kBrackets:
      if (group.structured && tokens_.size() == group.itemStart + 1 &&
          IsNameWord(tokens_[group.itemStart])) {
        Declare(group.itemStart);
      }
      tokens_.Truncate(group.itemStart);
      return;
    case GroupKind::kDeclarations:
      DecideMember(group, true);
      if (semicolon) {
        EndNames(group.pending, token.line);
        ResetItem(group);
      } else if (group.state == ItemState::kDeclared) {
        group.state = ItemState::kDeclarator;  // int a, *b;
      }
      return;
    default:
      if (semicolon) EndNames(group.pending, token.line);
      return;
  }
}

void LocalScopes::ItemToken(const Token& token) {
  Group& group = groups_.back();
  if (StatementLike(group)) return StatementToken(group, token);
  switch (group.kind) {
    case GroupKind::kDeclarations: {
      const unsigned classes = IsWord(token) ? classes_ : 0;
      if ((classes & (kTypeKey | kEnumKey)) != 0) {
        // What came before belongs to no class head: a macro's call without a ';', most likely.
        group.parens = group.initColon = group.equals = false;
      }
      group.typeKey |= (classes & kTypeKey) != 0;
      group.enumKey |= (classes & kEnumKey) != 0;
      group.namespaceKey |= (classes & kNamespace) != 0;
      if (token.kind == TokenType::kLiteral && (previousWord_ & kExtern) != 0) {
        group.typeKey = group.namespaceKey = group.linkage = true;  // extern "C"
      }
      if (token.Is('=') && (previousWord_ & kOperator) == 0 && previous_ != '=' &&
          previous_ != '!' && previous_ != '<' && previous_ != '>') {
        group.equals = true;
      }
      if (group.classBody &&
          (group.state == ItemState::kHead || group.state == ItemState::kDeclarator)) {
        if (token.Is('(')) {
          DeclareMemberFunction(group);
          group.state = ItemState::kOther;
        } else if (token.Is('=') || token.Is('[')) {
          DecideMember(group, true);
        } else {
          Keep(token);
        }
      }
      return;
    }
    case GroupKind::kParentheses:
    case GroupKind::kTemplateHead:
      if (token.Is('(') || token.Is('[')) return;
      return Keep(token);
    case GroupKind::kBrackets:
      if (group.structured && !token.Is('[')) Keep(token);
      return;
    default:
      return;
  }
}

void LocalScopes::StatementToken(Group& group, const Token& token) {
  const char c = token.Punctuation();
  const bool terminator = c == '=' || c == '(' || c == '[';
  switch (group.state) {
    case ItemState::kHead:
      if (tokens_.size() == group.itemStart && group.kind == GroupKind::kBlock) {
        const unsigned classes = IsWord(token) ? classes_ : 0;
        if ((classes & (kPrefix | kCondition | kFor | kCatch)) != 0) {
          group.controlStatement = true;
          return;
        }
        if (c == '[') return;  // an attribute, or a lambda's captures
        if ((classes & kAlias) != 0) {
          group.state = ItemState::kAlias;
          return Keep(token);
        }
        if ((classes & kStatementStart) != 0 || (!IsWord(token) && c != ':')) {
          group.state = ItemState::kOther;
          return;
        }
      }
      if (terminator && group.angles == 0) return Decide(group);
      if (c == '(' || c == '[') return;
      return Keep(token);
    case ItemState::kDeclarator:
      if (terminator && group.angles == 0) return Decide(group);
      if (c == '(' || c == '[') return;
      return Keep(token);
    case ItemState::kAlias:
      if (c != '(' && c != '[') Keep(token);
      return;
    default:
      return;
  }
}

// The colon that Feed makes up for a "::" has no text in the lexer's buffer to copy from.
void LocalScopes::Keep(const Token& token) {
  if (token.kind == TokenType::kPunctuation) return tokens_.PushPunctuation(token.text[0]);
  tokens_.push_back(token);
}

void LocalScopes::EndNames(std::size_t from, std::uint64_t line) {
  if (from >= open_.size()) return;
  for (std::size_t k = from; k < open_.size(); ++k) names_[open_[k]].last = line;
  open_.resize(from);
}

std::vector<LocalName> LocalScopes::Finish(std::uint64_t lastLine) {
  EndNames(0, std::max(lastLine, line_));
  return std::move(names_);
}

}  // namespace lexpaint
