// System.capabilities: what a movie may ask of the player it runs in. A screen saver has
// audio, no camera, microphone, printing or network access; the answers are fixed so runs are
// reproducible.
#include "library_classes.h"
#include "native_class.h"

namespace swf::avm1 {

void registerSystemObject(Vm& vm) {
    Object* system = vm.getMember(vm.global(), "System").asObject();
    if (!system) {
        system = vm.newObject();
        vm.global()->define("System", Value::object(system), kDontEnum);
    }
    system->define("useCodepage", Value::boolean(false));
    Object* caps = vm.newObject();
    system->define("capabilities", Value::object(caps), kDontEnum);
    const std::pair<const char*, bool> flags[] = {
        {"avHardwareDisable", true},   {"hasAccessibility", false}, {"hasAudio", true},
        {"hasAudioEncoder", false},    {"hasEmbeddedVideo", false}, {"hasIME", false},
        {"hasMP3", true},              {"hasPrinting", false},      {"hasScreenBroadcast", false},
        {"hasScreenPlayback", false},  {"hasStreamingAudio", true}, {"hasStreamingVideo", false},
        {"hasVideoEncoder", false},    {"isDebugger", false},       {"localFileReadDisable", false},
    };
    for (const auto& [name, on] : flags) caps->define(name, Value::boolean(on), kDontDelete | kReadOnly);
    const std::pair<const char*, const char*> texts[] = {
        {"language", "en"}, {"manufacturer", "Kestoral Windows"}, {"os", "Windows"},
        {"playerType", "ActiveX"}, {"screenColor", "color"}, {"version", "WIN 8,0,0,0"},
    };
    for (const auto& [name, text] : texts) caps->define(name, vm.newString(text), kDontDelete | kReadOnly);
    caps->define("pixelAspectRatio", Value::number(1), kDontDelete | kReadOnly);
    caps->define("screenDPI", Value::number(72), kDontDelete | kReadOnly);
    caps->define("screenResolutionX", Value::number(1920), kDontDelete | kReadOnly);
    caps->define("screenResolutionY", Value::number(1080), kDontDelete | kReadOnly);
}

}  // namespace swf::avm1
