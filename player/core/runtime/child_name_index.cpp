#include "child_name_index.h"

#include <algorithm>

#include "avm1/names.h"

namespace swf {

std::string foldedChildName(const std::string& name) {
    std::string out = name;
    for (char& c : out) {
        if (static_cast<unsigned char>(c) >= 0x80) return avm1::foldedName(name);
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return out;
}

const std::vector<DisplayObject*>* ChildNameIndex::candidates(const ChildList& list, uint64_t listRevision,
                                                              const std::string& name) {
    if (list.size() <= kWalkedListSize) return nullptr;
    if (listRevision != listRevision_ || InstanceName::revision() != nameRevision_) {
        rebuild(list);
        listRevision_ = listRevision;
    }
    static const std::vector<DisplayObject*> none;
    auto it = byFoldedName_.find(foldedChildName(name));
    return it != byFoldedName_.end() ? &it->second : &none;
}

bool ChildNameIndex::inStepBefore(uint64_t listRevision) const {
    return listRevision_ + 1 == listRevision && nameRevision_ == InstanceName::revision();
}

void ChildNameIndex::added(DisplayObject& obj, uint64_t listRevision) {
    if (!inStepBefore(listRevision)) return;
    listRevision_ = listRevision;
    const InstanceName& name = obj.state().name;
    if (name.empty()) return;
    std::vector<DisplayObject*>& named = byFoldedName_[foldedChildName(name)];
    const Depth depth = obj.state().depth;
    named.insert(std::upper_bound(named.begin(), named.end(), depth,
                                  [](Depth d, const DisplayObject* other) { return d < other->state().depth; }),
                 &obj);
}

void ChildNameIndex::removed(const DisplayObject& obj, uint64_t listRevision) {
    if (!inStepBefore(listRevision)) return;
    listRevision_ = listRevision;
    const InstanceName& name = obj.state().name;
    if (name.empty()) return;
    auto it = byFoldedName_.find(foldedChildName(name));
    auto at = it != byFoldedName_.end() ? std::find(it->second.begin(), it->second.end(), &obj) : std::vector<DisplayObject*>::iterator();
    if (it == byFoldedName_.end() || at == it->second.end()) {
        listRevision_ = UINT64_MAX;  // not where it should be: start again
        return;
    }
    it->second.erase(at);
    if (it->second.empty()) byFoldedName_.erase(it);
}

void ChildNameIndex::rebuild(const ChildList& list) {
    nameRevision_ = InstanceName::revision();
    byFoldedName_.clear();
    for (const auto& [depth, obj] : list)
        if (!obj->state().name.empty()) byFoldedName_[foldedChildName(obj->state().name)].push_back(obj.get());
}

}  // namespace swf
