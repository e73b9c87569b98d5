// Stage: width, height, scaleMode, align, showMenu, displayState and its listeners.
#include "globals.h"
#include "native_class.h"

namespace swf::avm1 {
namespace {

class StageObject final : public Object {
public:
    using Object::Object;
    bool getSpecial(Vm& vm, const std::string& name, Value& out) override {
        if (sameName(name, "width", vm.names())) out = Value::number(width);
        else if (sameName(name, "height", vm.names())) out = Value::number(height);
        else if (sameName(name, "scaleMode", vm.names())) out = Value::string(scaleMode);
        else if (sameName(name, "align", vm.names())) out = Value::string(align);
        else if (sameName(name, "showMenu", vm.names())) out = Value::boolean(showMenu);
        else if (sameName(name, "displayState", vm.names())) out = Value::string(std::string(fullScreen ? "fullScreen" : "normal"));
        else return false;
        return true;
    }
    bool setSpecial(Vm& vm, const std::string& name, const Value& v) override {
        if (sameName(name, "width", vm.names()) || sameName(name, "height", vm.names())) return true;  // read-only
        if (sameName(name, "scaleMode", vm.names())) {
            std::string mode = vm.toString(v);
            for (const char* known : {"showAll", "noBorder", "exactFit", "noScale"})
                if (sameName(mode, known, NameRule{false})) scaleMode = known;
            return true;
        }
        if (sameName(name, "align", vm.names())) {
            align = vm.toString(v);
            return true;
        }
        if (sameName(name, "showMenu", vm.names())) {
            showMenu = vm.toBoolean(v);
            return true;
        }
        if (sameName(name, "displayState", vm.names())) {
            // "normal" or "fullScreen" in any case; a change tells the listeners (onFullScreen).
            const std::string state = vm.toString(v);
            const bool full = sameName(state, "fullScreen", NameRule{false});
            if (!full && !sameName(state, "normal", NameRule{false})) return true;
            if (full != fullScreen) {
                fullScreen = full;
                Value arg = Value::boolean(full);
                broadcast(vm, this, "onFullScreen", Arguments(&arg, 1));
            }
            return true;
        }
        return false;
    }

    double width = 0, height = 0;
    std::string scaleMode = "showAll";
    std::string align;
    bool showMenu = true;
    bool fullScreen = false;
};

}  // namespace

void setStageSize(Vm& vm, double width, double height) {
    if (auto* stage = dynamic_cast<StageObject*>(vm.getMember(vm.global(), "Stage").asObject())) {
        stage->width = width;
        stage->height = height;
    }
}

void registerStage(Vm& vm) {
    auto* stage = vm.heap().make<StageObject>(vm.builtins().objectProto);
    vm.global()->define("Stage", Value::object(stage), kDontEnum);
    makeBroadcaster(vm, stage);
}

}  // namespace swf::avm1
