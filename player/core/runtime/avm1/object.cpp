#include "object.h"

#include "heap.h"

namespace swf::avm1 {

Object::Entry* Object::findEntry(const std::string& name, NameRule rule) const {
    auto range = index_.equal_range(foldedName(name));
    for (auto it = range.first; it != range.second; ++it) {
        const Entry& e = entries_[it->second];
        if (e.live && sameName(e.name, name, rule)) return const_cast<Entry*>(&e);
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

void Object::define(const std::string& name, const Value& value, uint8_t flags) {
    if (Entry* e = findEntry(name, NameRule{true})) {
        e->property = Property{value, nullptr, nullptr, flags};
        return;
    }
    index_.emplace(foldedName(name), uint32_t(entries_.size()));
    entries_.push_back(Entry{name, Property{value, nullptr, nullptr, flags}, true});
    ++live_;
}

bool Object::put(const std::string& name, const Value& value, NameRule rule) {
    if (Entry* e = findEntry(name, rule)) {
        if (e->property.flags & kReadOnly) return false;
        e->property.value = value;
        e->property.getter = e->property.setter = nullptr;
        return true;
    }
    index_.emplace(foldedName(name), uint32_t(entries_.size()));
    entries_.push_back(Entry{name, Property{value, nullptr, nullptr, 0}, true});
    ++live_;
    return true;
}

void Object::defineAccessor(const std::string& name, Object* getter, Object* setter, uint8_t flags) {
    define(name, Value(), flags);
    Property* p = findOwn(name, NameRule{true});
    p->getter = getter;
    p->setter = setter;
}

bool Object::remove(const std::string& name, NameRule rule) {
    Entry* e = findEntry(name, rule);
    if (!e || (e->property.flags & kDontDelete)) return false;
    e->live = false;
    e->property = Property{};
    --live_;
    if (entries_.size() > 16 && live_ < entries_.size() / 2) compact();
    return true;
}

void Object::setFlags(const std::string& name, NameRule rule, uint8_t set, uint8_t clear) {
    if (Entry* e = findEntry(name, rule)) e->property.flags = uint8_t((e->property.flags & ~clear) | set);
}

void Object::ownNames(std::vector<std::string>& out, bool all) const {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
        if (it->live && (all || !(it->property.flags & kDontEnum))) out.push_back(it->name);
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
    for (uint32_t i = 0; i < entries_.size(); ++i) index_.emplace(foldedName(entries_[i].name), i);
}

bool Object::getSpecial(Vm&, const std::string&, Value&) { return false; }
bool Object::setSpecial(Vm&, const std::string&, const Value&) { return false; }

void Object::traceReferences(Marker&) {}

}  // namespace swf::avm1
