// What a use of a name means: which of the name's definitions it may lead to, from where and how
// it is used.
#include <algorithm>

#include "definition_index.h"

namespace lexpaint {

DefinitionIndex::Qualifier DefinitionIndex::QualifierOf(std::string_view qualifier) const {
  if (qualifier.empty()) return Qualifier::kGlobal;
  if (std::binary_search(namespaces_.begin(), namespaces_.end(), Hash(qualifier))) {
    return Qualifier::kNamespace;
  }
  return IsClass(qualifier) ? Qualifier::kClass : Qualifier::kOther;
}

// Whether a name qualified by "A::" that A makes nothing of may be `target`, made in no class.
// If A is a namespace of the tree, it is a type made at no scope, as the C library's that std::
// names, an enumerator of an enum with no name, or one made in a namespace or enum made in A, as
// an inline namespace; never one made in another namespace, as llvm::move is for std::move, nor
// a function at no scope, such as a helper of some source file. If A is a class of the tree, it
// is an enumerator of an enum made in A, or of one with no name. Any other A may be an alias of a
// namespace, a type or a class the tree does not make, so any such name may be meant; "::" means
// what is made at no scope.
bool DefinitionIndex::ReachedThrough(std::uint32_t target, const Classes& classes,
                                     Qualifier is) const {
  const PageDefinitions::Entry& entry = EntryAt(targets_[target]);
  const bool global = entry.scopeKind == Definition::kNoScope;
  const bool scoped = is == Qualifier::kNamespace || is == Qualifier::kClass;
  const std::string_view scope = scoped ? ScopeOf(target) : std::string_view();
  // Made in a namespace or enum made in the qualifier, or in one of its bases.
  const auto madeIn = [&] {
    return std::any_of(classes.begin(), classes.end(), [&](std::string_view outer) {
      return std::binary_search(nestedScopes_.begin(), nestedScopes_.end(), NestKey(scope, outer));
    });
  };
  switch (is) {
    case Qualifier::kGlobal:
      return global;
    case Qualifier::kNamespace:
      if (global) return IsTypeKind(entry.kind);
      return (entry.scopeKind == Definition::kInEnum && scope.empty()) || madeIn();
    case Qualifier::kClass:
      return entry.scopeKind == Definition::kInEnum && (scope.empty() || madeIn());
    case Qualifier::kOther:
      break;
  }
  return true;
}

bool DefinitionIndex::IsConstructor(std::uint32_t target, std::string_view word) const {
  const PageDefinitions::Entry& entry = EntryAt(targets_[target]);
  return entry.kind == Definition::kFunction &&
         (entry.scopeKind == Definition::kInClass || entry.scopeKind == Definition::kQualified) &&
         ScopeOf(target) == word;
}

template <class At>
std::uint32_t DefinitionIndex::SoleNonConstructor(std::size_t count, const At& targetAt,
                                                  std::string_view word) const {
  std::uint32_t type = kUnlinked;
  for (std::size_t k = 0; k < count; ++k) {
    const std::uint32_t t = targetAt(k);
    if (IsConstructor(t, word)) continue;
    if (type != kUnlinked) return kUnlinked;
    type = t;
  }
  return type;
}

// Worked out once for each name, by whichever thread asks first; others that ask meanwhile work
// out the same.
std::uint32_t DefinitionIndex::ClassTarget(std::uint32_t name) const {
  std::uint32_t type = classTargets_[name].load(std::memory_order_relaxed);
  if (type != kUnknownClass) return type;
  const Targets& targets = names_[name];
  type = SoleNonConstructor(
      targets.count, [&](std::size_t k) { return targets.first + static_cast<std::uint32_t>(k); },
      targets.name);
  classTargets_[name].store(type, std::memory_order_relaxed);
  return type;
}

bool DefinitionIndex::HiddenInClass(std::uint32_t target) const {
  if (members_[target] == 0) return false;
  const Definition::Kind kind = EntryAt(targets_[target]).kind;
  return kind == Definition::kFunction || IsTypeKind(kind);
}

DefinitionIndex::Meaning DefinitionIndex::Resolve(std::string_view word, const NameUse& use) const {
  return Resolve(LinkedName(word), word, use);
}

DefinitionIndex::Meaning DefinitionIndex::Resolve(std::uint32_t name, std::string_view word,
                                                  const NameUse& use) const {
  Meaning meaning;
  if (use.kind == NameUse::kLocal || name == kUnlinked) return meaning;
  const Targets& targets = names_[name];
  const std::uint32_t end = targets.first + targets.count;
  // The targets that `keep` keeps, or none.
  const auto only = [&](const auto& keep) {
    for (std::uint32_t t = targets.first; t < end; ++t) {
      if (keep(t)) meaning.targets.push_back(t);
    }
  };
  // Most definitions are told apart by their scopes' hashes, 0 for none.
  const auto madeIn = [&](std::string_view scope) {
    const std::uint32_t scopeHash = Hash(scope) | 1;
    return [this, scope, scopeHash](std::uint32_t t) {
      return scopeHashes_[t] == scopeHash && ScopeOf(t) == scope;
    };
  };
  const auto inScope = madeIn(use.scope);
  // The members that the class `use.scope` has through its bases, if it has none of its own. A
  // base's own name means the base, not its constructors.
  Classes classes;
  bool typed = false;       // a member of an object of a known class
  std::string sectionType;  // that class's name, as the section of its members names it
  bool outside = false;     // what is made outside classes
  const auto inBases = [&] {
    classes = ClassAndBases(use.scope);
    for (std::size_t k = 1; k < classes.size && meaning.targets.empty(); ++k) {
      if (classes.names[k] == word) continue;
      const auto inBase = madeIn(classes.names[k]);
      only([&](std::uint32_t t) { return members_[t] != 0 && inBase(t); });
    }
  };
  switch (use.kind) {
    case NameUse::kMember: {
      // The object's type, as "T" or "Q::T" where a qualifier names it.
      const SplitType written(use.scope);
      const auto [type, qualifier] = Unaliased(written.name, written.qualifier);
      // Of an object whose type the tree does not define, as std::string in a tree that is not
      // the C++ library, no member of the tree is meant.
      if (!type.empty() && Find(type) == names_.end()) break;
      // Of an object whose type is a class of the tree, only that class's members or its
      // bases' mean the name; nothing does where they have none and all its bases are known.
      // Where several classes share the type's name, their bases are not known.
      if (!type.empty() && IsClass(type)) {
        const bool sole = IsSoleClass(type);
        if (sole) {
          classes = ClassAndBases(type);
        } else {
          classes.names[classes.size++] = type;
          classes.complete = false;
        }
        // A class made in another's body is named alone only there, or after a qualifier that
        // is no namespace, where a class of its name outside classes is not: an object of type
        // Iterator is no SkipList::Iterator.
        const Qualifier is = QualifierOf(qualifier);
        const bool outerToo = !sole && HasOuterClass(type);
        const bool outer = outerToo && (is == Qualifier::kGlobal || is == Qualifier::kNamespace);
        // Where the qualifier lets a nested class in, the members differ from the type's alone.
        if (outerToo && !outer) sectionType = std::string(qualifier) + "::";
        sectionType.append(type);
        for (std::size_t k = 0; k < classes.size && meaning.targets.empty(); ++k) {
          const auto inClass = madeIn(classes.names[k]);
          only([&](std::uint32_t t) {
            return members_[t] != 0 && inClass(t) &&
                   !(k == 0 && outer && members_[t] == kNestedMember);
          });
        }
        // A virtual function that the class declares without defining it: a call reaches the
        // overrides of the classes made from it.
        if (meaning.targets.empty()) {
          std::vector<std::string_view> derived = DerivedFrom(type);
          derived.erase(std::remove(derived.begin(), derived.end(), word), derived.end());
          std::vector<std::uint32_t> hashes;
          for (const std::string_view d : derived) hashes.push_back(Hash(d) | 1);
          std::sort(hashes.begin(), hashes.end());
          only([&](std::uint32_t t) {
            return members_[t] != 0 &&
                   std::binary_search(hashes.begin(), hashes.end(), scopeHashes_[t]) &&
                   std::find(derived.begin(), derived.end(), ScopeOf(t)) != derived.end();
          });
          meaning.overrides = !meaning.targets.empty();
        }
        typed = !meaning.targets.empty();
        if (typed || classes.complete) break;
      }
      only([&](std::uint32_t t) { return members_[t] != 0; });
      break;
    }
    case NameUse::kType: {
      // A name that some type has means what it does elsewhere: the class alone, or the list,
      // which shows types first.
      bool typeNamed = false;
      for (std::uint32_t t = targets.first; t < end && !typeNamed; ++t) {
        typeNamed = IsTypeKind(EntryAt(targets_[t]).kind);
      }
      if (!typeNamed) break;
      const std::uint32_t type = ClassTarget(name);
      if (type != kUnlinked) {
        meaning.targets.push_back(type);
      } else {
        meaning.all = true;
      }
      break;
    }
    case NameUse::kClassMember:
      only(inScope);
      // A definition outside its class whose qualifier is no class or namespace of the tree,
      // such as a macro that stands for the class's name, may be the class's own.
      if (meaning.targets.empty()) {
        only([&](std::uint32_t t) {
          return EntryAt(targets_[t]).scopeKind == Definition::kQualified &&
                 QualifierOf(ScopeOf(t)) == Qualifier::kOther;
        });
      }
      break;
    case NameUse::kQualified:
      only(inScope);
      if (meaning.targets.empty() && !use.scope.empty()) inBases();
      if (meaning.targets.empty()) {
        if (classes.size == 0) classes.names[classes.size++] = use.scope;
        const Qualifier is = QualifierOf(use.scope);
        only([&](std::uint32_t t) { return members_[t] == 0 && ReachedThrough(t, classes, is); });
      }
      break;
    default:
      // In C's own body, C names the class itself, not its constructors, nor an enumerator or
      // function that shares its name elsewhere.
      if (word == use.scope) {
        only(
            [&](std::uint32_t t) { return !inScope(t) && IsClassKind(EntryAt(targets_[t]).kind); });
        if (meaning.targets.empty()) only([&](std::uint32_t t) { return !inScope(t); });
      } else if (!use.scope.empty()) {
        only(inScope);
        if (meaning.targets.empty()) inBases();
      } else {
        // Outside every class, a name alone means no member function of one, nor a type made
        // in one, where the tree has the name outside classes too.
        only([&](std::uint32_t t) { return !HiddenInClass(t); });
        outside = true;
      }
      // Elsewhere too, a class's name means the class rather than its constructors, where that
      // leaves a single definition; else it means all, listed with the types first.
      if (meaning.targets.empty()) {
        const std::uint32_t type = ClassTarget(name);
        if (type != kUnlinked) {
          meaning.targets.push_back(type);
        } else {
          meaning.all = true;
        }
      }
  }
  if (meaning.targets.size() == targets.count) {
    meaning.all = true;
    meaning.targets.clear();
  }
  if (meaning.targets.size() > 1) {
    if (outside) {
      meaning.section = std::string(word) + "-outside-classes";
    } else if (use.kind != NameUse::kMember) {
      meaning.section = std::string(use.scope) + "::" + std::string(word);
    } else {
      meaning.section = (typed ? sectionType + "." : ".") + std::string(word);
      if (meaning.overrides) meaning.section += "-overrides";
    }
  }
  if (meaning.all || !meaning.targets.empty()) meaning.name = name;
  return meaning;
}

// A name's targets are in the order of their pages.
bool DefinitionIndex::OnSeveralPages(const Meaning& meaning) const {
  const Targets& targets = names_[meaning.name];
  const std::uint32_t first = meaning.all ? targets.first : meaning.targets.front();
  const std::uint32_t last =
      meaning.all ? targets.first + targets.count - 1 : meaning.targets.back();
  return targets_[first].page != targets_[last].page;
}

template <class Found>
bool DefinitionIndex::AnyTarget(const Meaning& meaning, const Found& found) const {
  if (!meaning.all) return std::any_of(meaning.targets.begin(), meaning.targets.end(), found);
  const Targets& targets = names_[meaning.name];
  for (std::uint32_t t = targets.first; t < targets.first + targets.count; ++t) {
    if (found(t)) return true;
  }
  return false;
}

template <class Keep>
std::vector<std::uint32_t> DefinitionIndex::TargetsKept(const Meaning& meaning,
                                                        const Keep& keep) const {
  std::vector<std::uint32_t> kept;
  AnyTarget(meaning, [&](std::uint32_t t) {
    if (keep(t)) kept.push_back(t);
    return false;
  });
  return kept;
}

DefinitionIndex::Meaning DefinitionIndex::Nearest(Meaning meaning, std::string_view word,
                                                  const PageSet& nearby) const {
  std::vector<std::uint32_t> kept = TargetsKept(meaning, [&](std::uint32_t t) {
    return nearby.Has(targets_[t].page) ||
           (classPages_[t] != kUnlinked && nearby.Has(classPages_[t]));
  });
  const std::size_t count = meaning.all ? names_[meaning.name].count : meaning.targets.size();
  if (kept.empty() || kept.size() == count) return meaning;
  return NarrowedTo(std::move(meaning), std::move(kept), word);
}

bool DefinitionIndex::MayBeUnseen(const Meaning& meaning) const {
  return AnyTarget(meaning, [this](std::uint32_t t) { return seen_[t] != kSeenAnywhere; });
}

DefinitionIndex::Meaning DefinitionIndex::SeenFrom(Meaning meaning, std::string_view word,
                                                   std::size_t page,
                                                   const PageSet& includers) const {
  const auto seen = [&](std::uint32_t t, bool unmet) {
    switch (seen_[t]) {
      case kSeenAnywhere:
        return true;
      case kSeenOtherwiseUnmet:
      case kSeenBesideOthers:
        return unmet || includers.Has(targets_[t].page);
      case kSeenByIncluders:
        return includers.Has(targets_[t].page);
      case kSeenOnItsPage:
        break;
    }
    return targets_[t].page == page;
  };
  std::vector<std::uint32_t> kept =
      TargetsKept(meaning, [&](std::uint32_t t) { return seen(t, false); });
  if (kept.empty()) {
    kept = TargetsKept(meaning, [&](std::uint32_t t) { return seen(t, true); });
    if (std::all_of(kept.begin(), kept.end(),
                    [this](std::uint32_t t) { return seen_[t] == kSeenBesideOthers; })) {
      kept.clear();
    }
  }
  const std::size_t count = meaning.all ? names_[meaning.name].count : meaning.targets.size();
  if (kept.size() == count) return meaning;
  if (kept.empty()) return Meaning();
  return NarrowedTo(std::move(meaning), std::move(kept), word);
}

// Of the kept definitions, a class's name means the class rather than its constructors, as it
// does among all of them.
DefinitionIndex::Meaning DefinitionIndex::NarrowedTo(Meaning meaning,
                                                     std::vector<std::uint32_t> kept,
                                                     std::string_view word) const {
  const std::uint32_t type = SoleNonConstructor(
      kept.size(), [&](std::size_t k) { return kept[k]; }, word);
  if (type != kUnlinked) kept = {type};
  std::string section;
  if (kept.size() > 1) {
    // A section narrowed once before is named after what it was narrowed from.
    section =
        meaning.all ? std::string(word) : meaning.section.substr(0, meaning.section.find('@'));
    std::uint32_t previous = kUnlinked;
    for (const std::uint32_t t : kept) {
      const std::uint32_t page = targets_[t].page;
      if (previous == kUnlinked || targets_[previous].page != page) {
        section.append(previous == kUnlinked ? "@" : ",")
            .append(plan_.files[plan_.pages[page].file].path);
      }
      previous = t;
    }
  }
  meaning.all = false;
  meaning.targets = std::move(kept);
  meaning.section = std::move(section);
  return meaning;
}

}  // namespace lexpaint
