// An object's instance name. Every change of a name counts in one program-wide revision, so
// that indexes of names (a clip's children by name) know when they are stale without each of
// the places that rename objects (placement, _name, duplicates, replaced characters) telling
// them.
#pragma once

#include <atomic>
#include <cstdint>
#include <ostream>
#include <string>

namespace swf {

class InstanceName {
public:
    InstanceName() = default;
    // A new name belongs to no list yet: only assignments rename listed objects.
    InstanceName(std::string value) : value_(std::move(value)) {}
    InstanceName(const char* value) : value_(value) {}
    InstanceName(const InstanceName& other) = default;
    // Only a different name counts: a state copied over an equal one renames nothing.
    InstanceName& operator=(const InstanceName& other) { return assign(other.value_); }
    InstanceName& operator=(const std::string& value) { return assign(value); }
    InstanceName& operator=(const char* value) { return assign(value); }

    // Names an object that no index holds yet (being made, before it enters a list): the list
    // indexes it itself, so that making 1,000 named clips does not rebuild every index.
    void assignUnlisted(const std::string& value) { value_ = value; }

    const std::string& str() const { return value_; }
    operator const std::string&() const { return value_; }
    bool empty() const { return value_.empty(); }
    size_t size() const { return value_.size(); }
    const char* c_str() const { return value_.c_str(); }
    char operator[](size_t i) const { return value_[i]; }

    // Changes whenever any object anywhere gets another name.
    static uint64_t revision() { return revision_.load(std::memory_order_relaxed); }

private:
    InstanceName& assign(const std::string& value) {
        if (value_ != value) {
            value_ = value;
            revision_.fetch_add(1, std::memory_order_relaxed);
        }
        return *this;
    }

    std::string value_;
    static inline std::atomic<uint64_t> revision_{0};
};

inline std::string operator+(const std::string& a, const InstanceName& b) { return a + b.str(); }
inline std::string operator+(const InstanceName& a, const std::string& b) { return a.str() + b; }
inline std::string operator+(const char* a, const InstanceName& b) { return a + b.str(); }
inline bool operator==(const InstanceName& a, const InstanceName& b) { return a.str() == b.str(); }
inline bool operator==(const InstanceName& a, const std::string& b) { return a.str() == b; }
inline bool operator==(const std::string& a, const InstanceName& b) { return a == b.str(); }
inline bool operator==(const InstanceName& a, const char* b) { return a.str() == b; }
inline bool operator!=(const InstanceName& a, const InstanceName& b) { return !(a == b); }
inline bool operator!=(const InstanceName& a, const std::string& b) { return !(a == b); }
inline bool operator!=(const std::string& a, const InstanceName& b) { return !(a == b); }
inline bool operator!=(const InstanceName& a, const char* b) { return !(a == b); }
inline std::ostream& operator<<(std::ostream& out, const InstanceName& name) { return out << name.str(); }

}  // namespace swf
