// TextField.prototype's getter/setter properties (text, htmlText, scroll, autoSize, ...).
#pragma once

namespace swf {
namespace avm1 {
class Object;
class Vm;
}  // namespace avm1

void defineTextFieldProperties(avm1::Vm& vm, avm1::Object* proto);

}  // namespace swf
