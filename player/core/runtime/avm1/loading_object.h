// An object that loads text beside the movie (XML, LoadVars): its byte counts are native
// properties, _bytesLoaded and _bytesTotal, that a script can read but not delete.
#pragma once

#include <optional>
#include <string>

#include "names.h"
#include "object.h"
#include "vm.h"

namespace swf::avm1 {

class LoadingObject : public Object {
public:
    using Object::Object;

    bool getSpecial(Vm& vm, const std::string& name, Value& out) override {
        const bool loaded = sameName(name, "_bytesLoaded", vm.names());
        if (!loaded && !sameName(name, "_bytesTotal", vm.names())) return false;
        const std::optional<double>& count = loaded ? bytesLoaded : bytesTotal;
        out = count ? Value::number(*count) : Value();
        return true;
    }

    std::optional<double> bytesLoaded;
    std::optional<double> bytesTotal;
};

}  // namespace swf::avm1
