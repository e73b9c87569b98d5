#include "object.h"

#include "heap.h"

namespace swf::avm1 {

namespace {

size_t asciiFoldedHash(const std::string& s) {
    size_t h = 1469598103934665603ull;
    for (char c : s) {
        char lower = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
        h = (h ^ uint8_t(lower)) * 1099511628211ull;
    }
    return h;
}

}  // namespace

size_t Object::FoldedHash::operator()(const std::string& s) const {
    // Past ASCII the case table folds ("Ä" and "ä" must meet in one bucket); rare, so the
    // folded copy is made only then.
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return asciiFoldedHash(foldedName(s));
    return asciiFoldedHash(s);
}

bool hiddenFromVersion(uint16_t flags, int version) {
    if (!(flags & kVersionFlags) || version == 0) return false;
    return ((flags & kFromVersion6) && version < 6) || ((flags & kNotInVersion6) && version == 6) ||
           ((flags & kFromVersion7) && version < 7) || ((flags & kFromVersion8) && version < 8) ||
           ((flags & kFromVersion9) && version < 9) || ((flags & kFromVersion10) && version < 10);
}

inline char foldAscii(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

// Objects with few properties (a call's locals, most script objects) are searched in order:
// cheaper than hashing the name, and defining a property allocates no index node.
constexpr size_t kIndexedFrom = 12;

Object::Entry* Object::findEntry(const std::string& name, NameRule rule) const {
    if (index_.empty()) {
        // Most names differ in length or first letter: those are passed over without a call.
        const char first = name.empty() ? 0 : foldAscii(name[0]);
        for (const Entry& e : entries_) {
            if (!e.live || e.name.size() != name.size() || (!name.empty() && foldAscii(e.name[0]) != first)) continue;
            if (sameName(e.name, name, rule) && !hiddenFromVersion(e.property.flags, rule.version))
                return const_cast<Entry*>(&e);
        }
        return nullptr;
    }
    auto range = index_.equal_range(name);
    for (auto it = range.first; it != range.second; ++it) {
        const Entry& e = entries_[it->second];
        if (e.live && sameName(e.name, name, rule) && !hiddenFromVersion(e.property.flags, rule.version))
            return const_cast<Entry*>(&e);
    }
    return nullptr;
}

Property* Object::findOwn(const std::string& name, NameRule rule) {
    Entry* e = findEntry(name, rule);
    return e ? &e->property : nullptr;
}

const Property* Object::findOwn(const std::string& name, NameRule rule) const {
    Entry* e = findEntry(name, rule);
    return e ? &e->property : nullptr;
}

void Object::define(const std::string& name, const Value& value, uint16_t flags) {
    if (Entry* e = findEntry(name, NameRule{true})) {
        e->property = Property{value, nullptr, nullptr, flags};
        return;
    }
    entries_.push_back(Entry{name, Property{value, nullptr, nullptr, flags}, true});
    if (!index_.empty()) index_.emplace(name, uint32_t(entries_.size() - 1));
    else if (entries_.size() >= kIndexedFrom) rebuildIndex();
    ++live_;
}

bool Object::put(const std::string& name, const Value& value, NameRule rule) {
    // A property hidden from this version is replaced, not shadowed by a second one of the
    // same name: the store makes it a plain visible property.
    NameRule any = rule;
    any.version = 0;
    if (Entry* e = findEntry(name, any)) {
        if (hiddenFromVersion(e->property.flags, rule.version)) {
            e->property = Property{value, nullptr, nullptr, 0};
            return true;
        }
        if (e->property.flags & kReadOnly) return false;
        e->property.value = value;
        e->property.getter = e->property.setter = nullptr;
        return true;
    }
    entries_.push_back(Entry{name, Property{value, nullptr, nullptr, 0}, true});
    if (!index_.empty()) index_.emplace(name, uint32_t(entries_.size() - 1));
    else if (entries_.size() >= kIndexedFrom) rebuildIndex();
    ++live_;
    return true;
}

void Object::defineAccessor(const std::string& name, Object* getter, Object* setter, uint16_t flags) {
    // The value held before stays in the property (a watcher is shown it as the old value).
    const Property* before = findOwn(name, NameRule{true, 0});
    define(name, before ? before->value : Value(), flags);
    Property* p = findOwn(name, NameRule{true});
    p->getter = getter;
    p->setter = setter;
    static uint32_t lastSerial = 0;
    p->serial = ++lastSerial;
}

bool Object::remove(const std::string& name, NameRule rule) {
    rule.version = 0;  // a property hidden from this version can still be deleted
    Entry* e = findEntry(name, rule);
    if (!e || (e->property.flags & kDontDelete)) return false;
    e->live = false;
    e->property = Property{};
    --live_;
    if (entries_.size() > 16 && live_ < entries_.size() / 2) compact();
    return true;
}

void Object::setFlags(const std::string& name, NameRule rule, uint16_t set, uint16_t clear) {
    if (sameName(name, "__proto__", rule)) {
        setProtoFlags(set, clear);
        return;
    }
    // A property hidden from this version still takes new flags (that is how a script shows it).
    rule.version = 0;
    if (Entry* e = findEntry(name, rule)) e->property.flags = uint16_t((e->property.flags & ~clear) | set);
}

void Object::ownNames(std::vector<std::string>& out, bool all, int version) const {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
        if (it->live && (all || !(it->property.flags & kDontEnum)) && !hiddenFromVersion(it->property.flags, version))
            out.push_back(it->name);
}

void Object::compact() {
    std::vector<Entry> kept;
    kept.reserve(live_);
    for (Entry& e : entries_)
        if (e.live) kept.push_back(std::move(e));
    entries_ = std::move(kept);
    rebuildIndex();
}

void Object::rebuildIndex() {
    index_.clear();
    if (entries_.size() < kIndexedFrom) return;
    for (uint32_t i = 0; i < entries_.size(); ++i) index_.emplace(entries_[i].name, i);
}

bool Object::getSpecial(Vm& vm, const std::string& name, Value& out) {
    return nativePart_ && nativePart_->getSpecial(vm, name, out);
}
bool Object::setSpecial(Vm& vm, const std::string& name, const Value& value) {
    return nativePart_ && nativePart_->setSpecial(vm, name, value);
}

void Object::traceReferences(Marker&) {}

}  // namespace swf::avm1
