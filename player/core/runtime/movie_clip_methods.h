// MovieClip.prototype's methods, registered by family (movie_clip_methods_*.cpp).
#pragma once

#include <string>

#include "avm1/vm.h"

namespace swf {

class ClipObject;

// The live clip object a value holds, or null.
ClipObject* clipObjectOf(const avm1::Value& v);
// duplicateMovieClip (method and action): null when nothing was made.
ClipObject* duplicateClip(avm1::Vm& vm, ClipObject& self, const std::string& name, const avm1::Value& depth,
                          avm1::Object* initObject);
// removeMovieClip (method and action).
void removeClipByScript(avm1::Vm& vm, ClipObject& self);
// removeMovieClip of a text field (the action, or the method applied to one).
void removeTextFieldByScript(avm1::Object* object);
// duplicateMovieClip of a text field: a new field of the original's character (as the movie
// defined it, none of what scripts changed since; an empty one for a field a script made)
// at script depth `depth`, with the original's transform and colour and nothing else.
void duplicateTextFieldByScript(avm1::Vm& vm, avm1::Object* object, const std::string& name, int depth);

void registerDepthMethods(avm1::Vm& vm, avm1::Object* proto);
void registerGeometryMethods(avm1::Vm& vm, avm1::Object* proto);
void registerLoadingMethods(avm1::Vm& vm, avm1::Object* proto);
void registerMaskMethods(avm1::Vm& vm, avm1::Object* proto);

}  // namespace swf
