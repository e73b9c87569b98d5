// A clip's children by instance name. Scripts look names up constantly: reading a variable in
// a clip's scope first asks whether a child of that name exists, so a root holding 1,000
// attached clips walked all of them on every read (a movie attaching 1,000 clips in a loop
// spent most of its start in those walks). Every kind of object is indexed: a named shape
// names its parent clip in paths, a named text field is reachable too.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "display/display_object.h"

namespace swf {

// Clip::DisplayList: depth -> object.
using ChildList = std::map<Depth, std::unique_ptr<DisplayObject>>;

class ChildNameIndex {
public:
    // The objects of `list` whose name may match `name` (the same name after folding case), in
    // depth order; null when the list is short enough to be walked whole instead. Rebuilt when
    // `listRevision` (which changes with every change of `list`) or any instance name changed.
    const std::vector<DisplayObject*>* candidates(const ChildList& list, uint64_t listRevision, const std::string& name);

    // Keep the index in step with one change of the list (`listRevision` is the list's
    // revision after it) without a rebuild: `obj` joined the list with its name and depth set,
    // or is about to leave it. An index out of step (not built, or a rename anywhere) ignores
    // these and is rebuilt at the next lookup.
    void added(DisplayObject& obj, uint64_t listRevision);
    void removed(const DisplayObject& obj, uint64_t listRevision);

    // Lists up to this long are walked: cheaper than hashing the name.
    static constexpr size_t kWalkedListSize = 8;

private:
    void rebuild(const ChildList& list);
    bool inStepBefore(uint64_t listRevision) const;

    uint64_t listRevision_ = UINT64_MAX;
    uint64_t nameRevision_ = UINT64_MAX;
    std::unordered_map<std::string, std::vector<DisplayObject*>> byFoldedName_;
};

// Lower case by the names' rule, without the decoding for ASCII names.
std::string foldedChildName(const std::string& name);

}  // namespace swf
