#ifndef LEXPAINT_SITE_DEFINITION_INDEX_H_
#define LEXPAINT_SITE_DEFINITION_INDEX_H_

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "definition_finder.h"
#include "member_types.h"
#include "name_use.h"
#include "site_plan.h"
#include "source_scan.h"

namespace lexpaint {

// A set of the pages of a site, by their numbers, a bit each.
class PageSet {
 public:
  explicit PageSet(std::size_t pages = 0) : bits_((pages + 63) / 64) {}
  bool Has(std::size_t page) const { return (bits_[page / 64] >> page % 64 & 1) != 0; }
  // Adds `page`; false if it was there already.
  bool Add(std::size_t page) {
    const std::uint64_t bit = std::uint64_t{1} << page % 64;
    if ((bits_[page / 64] & bit) != 0) return false;
    bits_[page / 64] |= bit;
    return true;
  }

 private:
  std::vector<std::uint64_t> bits_;
};

// Where the pages of a site find the definitions of their names, and the tags file that lists
// them. Namespaces, and names no identifier can spell (operators, destructors), are listed in
// the tags file but are no link targets.
class DefinitionIndex {
 public:
  // A name defined in more places than this links nowhere: a list of its definitions would be
  // too long to help.
  static constexpr std::size_t kMaxLinkedDefinitions = 100;

  // A definition: the page of its file, and its index in that page's definitions.
  struct Place {
    std::uint32_t page;
    std::uint32_t definition;
  };

  // `plan` must outlive the index, and its pages' definitions must stay as they are.
  // `namesFolder` is where the pages listing the definitions of a name go, from the site's root.
  // Sorts the definitions on `threads` threads.
  DefinitionIndex(const SitePlan& plan, std::string namesFolder, unsigned threads = 1);

  // The number of the linked name `word`, or kUnlinked if the tree does not define it or defines
  // it too often to link. Safe to call from several threads, as is Href.
  static constexpr std::uint32_t kUnlinked = ~0u;
  std::uint32_t LinkedName(std::string_view word) const { return LinkedName(word, Hash(word)); }
  // The same, for `word` whose Hash is `hash`.
  std::uint32_t LinkedName(std::string_view word, std::uint32_t hash) const;

  // Where the linked name numbered `name` links to from the page `page`, whose href to the site's
  // root is `toRoot` ("../" for each folder it is in): to the line of its one definition, or to
  // its section of the page listing its definitions.
  std::string Href(std::size_t page, std::string_view toRoot, std::uint32_t name) const;

  // What a use of a name may mean: the definitions of the linked name `name` it may lead to, all
  // of them or some, in the order of the tags file. None, if it links nowhere.
  struct Meaning {
    std::uint32_t name = kUnlinked;
    bool all = false;
    std::vector<std::uint32_t> targets;  // some, as link targets, if not all
    std::string section;  // the id of the section that lists those, as ".f" or "A::f"
    // The overrides of a virtual function that the class of an object declares without defining
    // it, which a call may reach from any file, whatever the file sees.
    bool overrides = false;
  };

  // What `word`, used as `use` tells, means. This is where every link of a page is decided:
  // - a local name links nowhere;
  // - after '.' or "->", a name means the members of classes it names, and nothing else;
  // - after "A::", the definitions made in the class, namespace or enum A; without any, those
  //   made in no class;
  // - in the body of C or of a member function of C, what C defines of the name, if it
  //   defines any; anywhere else, every definition.
  Meaning Resolve(std::string_view word, const NameUse& use) const;
  // The same, for `word` whose number LinkedName gave.
  Meaning Resolve(std::uint32_t name, std::string_view word, const NameUse& use) const;
  // Whether a meaning that leads to several definitions leads to more than one page: if not,
  // Nearest keeps it as it is.
  bool OnSeveralPages(const Meaning& meaning) const;
  // A meaning that leads to several definitions, as Resolve gives it for `word`, narrowed to
  // those made on the pages `nearby` holds, if any are made there; the section of the narrowed
  // meaning is named after their files, as in "f@a.h,b.h".
  Meaning Nearest(Meaning meaning, std::string_view word, const PageSet& nearby) const;
  // Whether some of the definitions a meaning leads to are not seen everywhere: a type made in a
  // function's body, which only its block sees, so no other page; or a macro, a static function
  // or a definition in an anonymous namespace of a source file that no file includes, which only
  // that file and the files it includes see.
  bool MayBeUnseen(const Meaning& meaning) const;
  // What of a meaning that Resolve gave for `word` the page `page` can see, where `includers`
  // holds that page and every page that includes it, directly or not. Narrowed as by Nearest; it
  // leads nowhere if nothing is left.
  Meaning SeenFrom(Meaning meaning, std::string_view word, std::size_t page,
                   const PageSet& includers) const;
  // Where a meaning that leads somewhere links to, from the page `page` as Href above: to the
  // line of its one definition, or to the section of a list page that lists its definitions.
  std::string Href(std::size_t page, std::string_view toRoot, const Meaning& meaning) const;

  // The names defined in several places are listed on pages of a run of such names each, in
  // name order, so that a site holds few such files however many names it has. A link to one
  // leads to the list page, at the name's own section.
  struct NameList {
    std::string_view name;
    std::uint32_t first;    // its definitions are the link targets [first, first + count),
    std::uint32_t count;    // in the order of the tags file
    std::string section{};  // the id of a section that lists only some of them ("" for all),
    std::vector<std::uint32_t> only{};  // and those, as link targets
  };
  struct ListPage {
    std::string path;  // from the site's root
    std::vector<NameList> names;
  };

  // The list pages that some link leads to, each with the names some link leads to.
  std::vector<ListPage> LinkedListPages() const;

  // The names that can be link targets, numbered in name order, as LinkedName numbers them; a
  // name defined too often to link is numbered too, but not linked.
  std::size_t nameCount() const { return names_.size(); }
  NameList NameAt(std::uint32_t name) const {
    return {names_[name].name, names_[name].first, names_[name].count};
  }
  bool IsLinked(std::uint32_t name) const { return names_[name].count <= kMaxLinkedDefinitions; }
  // Whether some definition of the name numbered `name` is a macro.
  bool HasMacro(std::uint32_t name) const { return names_[name].macro; }

  // The link targets of `name` in the order its list shows them: each type (class, struct, union,
  // enum, alias) followed by the functions of its file, such as its constructors, then the other
  // functions, then the rest; each part in the order of the tags file.
  std::vector<std::uint32_t> ListOrder(const NameList& name) const;

  // Whether a link leads to the list of the definitions of the name numbered `name`, and the
  // href of its section of its list page from the site's root.
  bool ListLinked(std::uint32_t name) const {
    return listUsed_[name].load(std::memory_order_relaxed);
  }
  void AppendListHref(std::string& out, std::uint32_t name) const;

  // The hash of a word, by which the index finds names; also that of a scope.
  static std::uint32_t Hash(std::string_view word);

  // The link targets, numbered in name order.
  std::size_t targetCount() const { return targets_.size(); }
  Place TargetAt(std::uint32_t target) const { return targets_[target]; }

  // The number of the definition numbered `definition` on the page `page` among the link targets,
  // if its name has a list page, or else kUnlisted.
  static constexpr std::uint32_t kUnlisted = ~0u;
  std::uint32_t ListedTarget(std::size_t page, std::size_t definition) const {
    return listedTargets_[firstDefinitions_[page] + definition];
  }

  // The folder of the list pages, from the site's root.
  const std::string& namesFolder() const { return namesFolder_; }
  // The type of the data member `member` of the class `owner`, or of the first of its bases that
  // declares one, as MemberTypes::TypeOf gives it; "" if none does.
  std::string_view DataMemberType(std::string_view owner, std::string_view member) const;

  // Writes the tags file: a line "name<TAB>file<TAB>line;\"<TAB>kind:kind" for each definition,
  // sorted by name, then by the order of the walk and the line. Names and files that hold a tab or
  // a line end are left out, as the format cannot hold them.
  void WriteTags(std::ostream& out) const;
  // Lets go of what only WriteTags needs; it cannot be called again.
  void ReleaseTags() { std::vector<Tag>().swap(all_); }

 private:
  // The link targets of one name.
  struct Targets {
    std::string_view name;
    std::uint32_t first;  // into targets_
    std::uint32_t count;
    std::uint32_t listPage;  // into listPages_, for a name with a list
    bool macro = false;      // some of them are macros
  };
  // A list page holds the names with a list among names_[first, end).
  struct ListRange {
    std::uint32_t first;
    std::uint32_t end;
    std::string href;  // the page's path from the site's root, as an href
  };

  // A definition as the tags file lists it.
  struct Tag {
    std::string_view name;
    std::uint64_t line;
    std::uint32_t page;
    Definition::Kind kind;
  };

  static bool HasList(const Targets& targets) {
    return targets.count > 1 && targets.count <= kMaxLinkedDefinitions;
  }
  void PlanListPages();
  void NumberListedTargets();
  std::string ListPagePath(std::uint32_t listPage) const;

  const PageDefinitions::Entry& EntryAt(Place place) const;
  std::string_view ScopeOf(std::uint32_t target) const;
  std::string LineHref(std::size_t page, Place place) const;
  void MarkMembers();
  void MarkNestedMembers(std::size_t page);
  void MarkClassPages();
  // Whether the tree has a class called `name` that is made in no other class's body.
  bool HasOuterClass(std::string_view name) const;
  void MarkUnseen();
  // Whether `found` holds for some target of `meaning`, asked of each in order until it does.
  template <class Found>
  bool AnyTarget(const Meaning& meaning, const Found& found) const;
  // The targets of `meaning` that `keep` keeps, in order.
  template <class Keep>
  std::vector<std::uint32_t> TargetsKept(const Meaning& meaning, const Keep& keep) const;
  // `meaning` narrowed to `kept`, some of its targets, in a section named after their files.
  Meaning NarrowedTo(Meaning meaning, std::vector<std::uint32_t> kept, std::string_view word) const;
  // The name `name` among the names the tree defines, or names_.end().
  std::vector<Targets>::const_iterator Find(std::string_view name) const;
  bool IsClass(std::string_view name) const;
  // Whether `target` is a member function or a type made in a class, which only the class's
  // own scope names unqualified.
  bool HiddenInClass(std::uint32_t target) const;
  // Whether the tree defines exactly one class, struct or union called `name`.
  bool IsOneClass(std::string_view name) const;
  // Whether the tree defines one class, struct or union called `name`, and nothing else but its
  // constructors.
  bool IsSoleClass(std::string_view name) const;
  // What the qualifier of "A::x" is in the tree, which decides what x may be (ReachedThrough).
  enum class Qualifier : unsigned char { kGlobal, kNamespace, kClass, kOther };
  Qualifier QualifierOf(std::string_view qualifier) const;
  // A class's name, then the names of its bases, theirs and so on, each once: whatever classes
  // the tree defines under those names. At most kMaxBases of them, kept in place, as every
  // qualified name and every name in a class's body may ask.
  static constexpr std::size_t kMaxBases = 16;
  struct Classes {
    std::array<std::string_view, kMaxBases> names;
    std::size_t size = 0;
    bool complete = true;  // no base was left out, as one the tree lacks or has several of
    const std::string_view* begin() const { return names.data(); }
    const std::string_view* end() const { return names.data() + size; }
  };
  Classes ClassAndBases(std::string_view name) const;
  // The names of the classes made from the class `name`, directly or not, each once: at most
  // kMaxDerived of them.
  static constexpr std::size_t kMaxDerived = 64;
  std::vector<std::string_view> DerivedFrom(std::string_view name) const;
  // `classes` are the qualifier and its bases, as ClassAndBases gives them.
  bool ReachedThrough(std::uint32_t target, const Classes& classes, Qualifier is) const;
  void ReadBases();
  // The type that every alias called `name` stands for, as Alias::type, or "" if they differ or
  // one names none.
  std::string_view AliasedType(std::string_view name) const;
  // The class an object's type `type` names, after `qualifier` if any: through the aliases of it
  // that name one type, the class of the tree they lead to, or a type of a namespace that the
  // tree does not define; `type` itself if they lead nowhere else.
  std::pair<std::string_view, std::string_view> Unaliased(std::string_view type,
                                                          std::string_view qualifier) const;
  // Whether a class called `name` has bases, through which another file's code may call its
  // member functions.
  bool HasBases(std::string_view name) const;
  // Whether `target` is a constructor of the class `word`, defined in it or as word::word.
  bool IsConstructor(std::uint32_t target, std::string_view word) const;
  // The one definition of the name numbered `name` that is no constructor of the class it names,
  // or kUnlinked if there are none or several.
  std::uint32_t ClassTarget(std::uint32_t name) const;
  // The one of the `count` targets, the k-th being targetAt(k), that is no constructor of the
  // class `word`, or kUnlinked if there are none or several.
  template <class At>
  std::uint32_t SoleNonConstructor(std::size_t count, const At& targetAt,
                                   std::string_view word) const;
  // A key of a namespace's or enum's name and the scope it is made in.
  static std::uint64_t NestKey(std::string_view name, std::string_view scope);

  const SitePlan& plan_;
  std::string namesFolder_;
  std::vector<Tag> all_;        // sorted by name, then page and line
  std::vector<Place> targets_;  // the link targets among them, in the same order
  std::vector<Targets> names_;  // in name order
  std::vector<ListRange> listPages_;
  // The linked names, found by their hash: every identifier of every page is looked up in it.
  // A slot holds the name's hash above 1 + its index into names_, or 0 if it is empty, and the
  // name's first eight bytes (Prefix); probing compares the hashes first, which keeps most misses
  // off names_, and a name shorter than eight bytes is told by its slot alone.
  struct Slot {
    std::uint64_t hashAndName;
    std::uint64_t prefix;
  };
  std::vector<Slot> table_;
  // A bit for each hash of a linked name, by the hash's top bits: small enough to stay in cache,
  // it turns most words that name nothing away before the table is read.
  std::vector<std::uint64_t> filter_;
  int filterShift_ = 32;
  std::unique_ptr<std::atomic<bool>[]> listUsed_;  // by index into names_: a link leads to the list
  // By index into names_, ClassTarget once some link asked for it, or kUnknownClass before.
  static constexpr std::uint32_t kUnknownClass = kUnlinked - 1;
  std::unique_ptr<std::atomic<std::uint32_t>[]> classTargets_;
  // By page, the number of its first definition among the tree's, in the order of the pages; by
  // that number, ListedTarget.
  std::vector<std::size_t> firstDefinitions_;
  std::vector<std::uint32_t> listedTargets_;
  // By link target: made in a class, struct or union (kMember), or in a class made in another
  // class's body (kNestedMember), or neither (0).
  enum : char { kMember = 1, kNestedMember = 2 };
  std::vector<char> members_;
  // By link target: of a member function defined outside its class, the page that defines the
  // class, where one class has its name, as a page sees the function where it sees the class;
  // else kUnlinked.
  std::vector<std::uint32_t> classPages_;
  // By link target, where it is seen from, as MayBeUnseen tells.
  // kSeenOtherwiseUnmet: by its includers, and elsewhere only where nothing else of the name is.
  // kSeenBesideOthers: as kSeenOtherwiseUnmet, but elsewhere only beside such a definition that
  // is not kSeenBesideOthers, as no single guess among them is better than another.
  enum Seen : unsigned char {
    kSeenAnywhere,
    kSeenByIncluders,
    kSeenOtherwiseUnmet,
    kSeenBesideOthers,
    kSeenOnItsPage
  };
  std::vector<Seen> seen_;
  std::vector<std::uint32_t> scopeHashes_;   // by link target: Hash of its scope | 1, or 0
  std::vector<std::uint32_t> namespaces_;    // sorted Hashes of the namespaces' names
  std::vector<std::uint64_t> nestedScopes_;  // sorted NestKeys of the namespaces and enums
  // Every base of every class, by the Hash of the class's name.
  struct ClassBase {
    std::uint32_t hash;
    std::string_view name;
    std::string_view base;
  };
  // The entries of `sorted`, in the order of their hashes, whose hash is `hash`: [first, second).
  static std::pair<const ClassBase*, const ClassBase*> WithHash(
      const std::vector<ClassBase>& sorted, std::uint32_t hash);
  std::vector<ClassBase> classBases_;
  std::vector<ClassBase> derivedClasses_;  // the same, by the Hash of the base's name
  // Every type alias and the type it stands for (in `base`), by the Hash of the alias's name.
  std::vector<ClassBase> aliases_;
  MemberTypes memberTypes_;
  // The sections of the list pages that list some of a name's definitions, by the name's index
  // into names_ and the section's id, as links ask for them.
  // By name, then id; a section already listed is found without copying its id.
  struct SectionOrder {
    using is_transparent = void;
    template <class A, class B>
    bool operator()(const A& a, const B& b) const {
      if (a.first != b.first) return a.first < b.first;
      return std::string_view(a.second) < std::string_view(b.second);
    }
  };
  mutable std::mutex sectionsMutex_;
  mutable std::map<std::pair<std::uint32_t, std::string>, std::vector<std::uint32_t>, SectionOrder>
      sections_;
};

// A folder name for the pages of names, `base` or it followed by '_'s, that the root of `plan`
// does not use.
std::string ChooseNamesFolder(const SitePlan& plan, std::string base = "names");

}  // namespace lexpaint

#endif  // LEXPAINT_SITE_DEFINITION_INDEX_H_
