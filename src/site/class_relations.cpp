// What the index knows of the tree's classes: their bases, the classes made from them, the
// classes made in other classes' bodies, and the pages that define them.
#include <algorithm>

#include "definition_index.h"

namespace lexpaint {

void DefinitionIndex::ReadBases() {
  for (const SitePage& page : plan_.pages) {
    const PageDefinitions& definitions = page.scan.definitions;
    for (const PageDefinitions::Base& base : definitions.bases) {
      const std::string_view name = definitions.NameOf(definitions.entries[base.entry]);
      classBases_.push_back({Hash(name), name, definitions.NameOf(base)});
    }
  }
  std::sort(classBases_.begin(), classBases_.end(),
            [](const ClassBase& a, const ClassBase& b) { return a.hash < b.hash; });
  for (const SitePage& page : plan_.pages) {
    const PageDefinitions& definitions = page.scan.definitions;
    for (const PageDefinitions::Base& alias : definitions.aliases) {
      // An alias made in a function's body means nothing elsewhere.
      if (definitions.entries[alias.entry].scopeKind == Definition::kInBody) continue;
      const std::string_view name = definitions.NameOf(definitions.entries[alias.entry]);
      aliases_.push_back({Hash(name), name, definitions.NameOf(alias)});
    }
  }
  std::sort(aliases_.begin(), aliases_.end(),
            [](const ClassBase& a, const ClassBase& b) { return a.hash < b.hash; });
  derivedClasses_ = classBases_;
  for (ClassBase& derived : derivedClasses_) derived.hash = Hash(derived.base);
  std::sort(derivedClasses_.begin(), derivedClasses_.end(),
            [](const ClassBase& a, const ClassBase& b) { return a.hash < b.hash; });
}

std::pair<const DefinitionIndex::ClassBase*, const DefinitionIndex::ClassBase*>
DefinitionIndex::WithHash(const std::vector<ClassBase>& sorted, std::uint32_t hash) {
  const auto first =
      std::lower_bound(sorted.begin(), sorted.end(), hash,
                       [](const ClassBase& entry, std::uint32_t h) { return entry.hash < h; });
  const auto last =
      std::upper_bound(first, sorted.end(), hash,
                       [](std::uint32_t h, const ClassBase& entry) { return h < entry.hash; });
  return {sorted.data() + (first - sorted.begin()), sorted.data() + (last - sorted.begin())};
}

std::string_view DefinitionIndex::AliasedType(std::string_view name) const {
  const std::uint32_t hash = Hash(name);
  std::string_view type;
  std::size_t matched = 0;
  const auto [first, last] = WithHash(aliases_, hash);
  for (const ClassBase* alias = first; alias != last; ++alias) {
    if (alias->name != name) continue;
    if (!type.empty() && alias->base != type) return {};
    type = alias->base;
    ++matched;
  }
  // Every definition of the name must be such an alias.
  const auto found = Find(name);
  return found != names_.end() && found->count == matched ? type : std::string_view();
}

// An alias may lead to another, a few steps at most. A qualified type is no template's parameter,
// which the tree does not define either but may stand for any class.
std::pair<std::string_view, std::string_view> DefinitionIndex::Unaliased(
    std::string_view type, std::string_view qualifier) const {
  constexpr int kMostSteps = 4;
  for (int step = 0; step < kMostSteps && !IsClass(type); ++step) {
    const std::string_view written = AliasedType(type);
    if (written.empty()) break;
    const auto [outer, aliased] = SplitType(written);
    const bool known = IsClass(aliased) || !AliasedType(aliased).empty();
    if (!known && (outer.empty() || Find(aliased) != names_.end())) break;
    type = aliased;
    qualifier = outer;
  }
  return {type, qualifier};
}

std::string_view DefinitionIndex::DataMemberType(std::string_view owner,
                                                 std::string_view member) const {
  std::string_view type = memberTypes_.TypeOf(owner, member);
  if (!type.empty() || !HasBases(owner)) return type;
  const Classes classes = ClassAndBases(owner);
  for (std::size_t k = 1; k < classes.size && type.empty(); ++k) {
    type = memberTypes_.TypeOf(classes.names[k], member);
  }
  return type;
}

bool DefinitionIndex::HasBases(std::string_view name) const {
  const std::uint32_t hash = Hash(name);
  const auto [first, last] = WithHash(classBases_, hash);
  return std::any_of(first, last, [&](const ClassBase& base) { return base.name == name; });
}

// The class bodies of a page nest or follow each other, outer ones first, as do the definitions
// in them: one pass keeps those open around each definition. A member defined outside its class
// belongs to a class of its qualifier's name on its own page, if the page has one: a template's
// members are defined beside it.
void DefinitionIndex::MarkNestedMembers(std::size_t page) {
  const PageScopes& scopes = plan_.pages[page].scan.scopes;
  const PageDefinitions& definitions = plan_.pages[page].scan.definitions;
  std::vector<std::pair<std::string_view, bool>> classes;  // by name: made in another class
  for (const PageDefinitions::Entry& entry : definitions.entries) {
    if (IsClassKind(entry.kind)) {
      classes.emplace_back(definitions.NameOf(entry), entry.scopeKind == Definition::kInClass);
    }
  }
  std::sort(classes.begin(), classes.end());
  OpenClassBodies bodies(scopes);
  for (std::size_t d = 0; d < definitions.entries.size(); ++d) {
    const PageDefinitions::Entry& entry = definitions.entries[d];
    const std::uint32_t t = ListedTarget(page, d);
    if (t == kUnlisted || members_[t] == 0) continue;
    if (entry.scopeKind == Definition::kQualified) {
      // Nested only if every class of the name on the page is.
      const auto first = std::lower_bound(classes.begin(), classes.end(),
                                          std::make_pair(definitions.ScopeOf(entry), false));
      if (first != classes.end() && first->first == definitions.ScopeOf(entry) && first->second) {
        members_[t] = kNestedMember;
      }
      continue;
    }
    const std::vector<std::uint32_t>& open = bodies.At(entry.line);
    const std::string_view owner = definitions.ScopeOf(entry);
    const auto body = std::find_if(open.rbegin(), open.rend(), [&](std::uint32_t c) {
      return scopes.Names(scopes.classes[c], owner);
    });
    if (body != open.rend() && std::next(body) != open.rend()) members_[t] = kNestedMember;
  }
}

bool DefinitionIndex::HasOuterClass(std::string_view name) const {
  const auto found = Find(name);
  if (found == names_.end()) return false;
  for (std::uint32_t t = found->first; t < found->first + found->count; ++t) {
    const PageDefinitions::Entry& entry = EntryAt(targets_[t]);
    if (IsClassKind(entry.kind) && entry.scopeKind != Definition::kInClass) return true;
  }
  return false;
}

void DefinitionIndex::MarkClassPages() {
  classPages_.assign(targets_.size(), kUnlinked);
  for (std::uint32_t t = 0; t < targets_.size(); ++t) {
    if (members_[t] == 0 || EntryAt(targets_[t]).scopeKind != Definition::kQualified) continue;
    const std::uint32_t name = LinkedName(ScopeOf(t));
    if (name == kUnlinked) continue;
    const Targets& targets = names_[name];
    std::uint32_t page = kUnlinked;
    for (std::uint32_t c = targets.first; c < targets.first + targets.count; ++c) {
      if (!IsClassKind(EntryAt(targets_[c]).kind)) continue;
      if (page != kUnlinked) {  // several classes of the name
        page = kUnlinked;
        break;
      }
      page = targets_[c].page;
    }
    classPages_[t] = page;
  }
}

bool DefinitionIndex::IsClass(std::string_view name) const {
  const auto found = Find(name);
  if (found == names_.end()) return false;
  for (std::uint32_t t = found->first; t < found->first + found->count; ++t) {
    if (IsClassKind(EntryAt(targets_[t]).kind)) return true;
  }
  return false;
}

// A name that several classes share, as in several namespaces, leaves it open which class's
// bases are meant: only the bases of a name that one class alone has are followed.
DefinitionIndex::Classes DefinitionIndex::ClassAndBases(std::string_view name) const {
  Classes classes;
  classes.names[classes.size++] = name;
  for (std::size_t k = 0; k < classes.size; ++k) {
    const std::uint32_t hash = Hash(classes.names[k]);
    const auto [first, last] = WithHash(classBases_, hash);
    // Most names have no bases, which is told before whether one class alone has the name.
    if (first == last || (k == 0 && !IsOneClass(name))) break;
    for (const ClassBase* base = first; base != last; ++base) {
      if (base->name != classes.names[k] ||
          std::find(classes.begin(), classes.end(), base->base) != classes.end()) {
        continue;
      }
      if (!IsOneClass(base->base)) {
        classes.complete = false;
        continue;
      }
      if (classes.size == kMaxBases) {
        classes.complete = false;
        return classes;
      }
      classes.names[classes.size++] = base->base;
    }
  }
  return classes;
}

std::vector<std::string_view> DefinitionIndex::DerivedFrom(std::string_view name) const {
  std::vector<std::string_view> derived{name};
  for (std::size_t k = 0; k < derived.size(); ++k) {
    const std::uint32_t hash = Hash(derived[k]);
    const auto [first, last] = WithHash(derivedClasses_, hash);
    for (const ClassBase* made = first; made != last; ++made) {
      if (made->base != derived[k] ||
          std::find(derived.begin(), derived.end(), made->name) != derived.end()) {
        continue;
      }
      if (derived.size() == kMaxDerived + 1) break;
      derived.push_back(made->name);
    }
  }
  derived.erase(derived.begin());
  return derived;
}

// A class whose name the tree gives nothing else but its constructors, so that an object's type
// spelled so is that class.
bool DefinitionIndex::IsSoleClass(std::string_view name) const {
  const std::uint32_t linked = LinkedName(name);
  if (linked == kUnlinked) return false;
  const std::uint32_t target = ClassTarget(linked);
  if (target == kUnlinked) return false;
  return IsClassKind(EntryAt(targets_[target]).kind);
}

bool DefinitionIndex::IsOneClass(std::string_view name) const {
  const std::uint32_t linked = LinkedName(name);
  if (linked == kUnlinked) return false;
  const Targets& targets = names_[linked];
  std::size_t classes = 0;
  for (std::uint32_t t = targets.first; t < targets.first + targets.count; ++t) {
    classes += IsClassKind(EntryAt(targets_[t]).kind);
  }
  return classes == 1;
}

}  // namespace lexpaint
