// flash.geom for scripts: Point, Rectangle, Matrix, ColorTransform and Transform.
#pragma once

#include <optional>

#include "../../geometry.h"
#include "../avm1/vm.h"

namespace swf::geom {

void registerPointClass(avm1::Vm& vm);
void registerRectangleClass(avm1::Vm& vm);
void registerMatrixClass(avm1::Vm& vm);
void registerColorTransformClass(avm1::Vm& vm);

// new flash.geom.Point(x, y) / Rectangle / Matrix as a script would make them.
avm1::Value makePoint(avm1::Vm& vm, const avm1::Value& x, const avm1::Value& y);
avm1::Value makeRectangle(avm1::Vm& vm, double x, double y, double width, double height);
// A display matrix (translation in twips) as a Matrix in pixels.
avm1::Value makeMatrix(avm1::Vm& vm, const Matrix& m);
// A script's matrix (a, b, c, d, tx, ty in pixels, any object with those fields) as a
// display matrix; nothing when a field is missing or not a finite number.
std::optional<Matrix> matrixOf(avm1::Vm& vm, const avm1::Value& v);

// The numbers of a ColorTransform: multipliers as fractions, offsets in colour steps.
struct ScriptColorTransform {
    double rMul = 1, gMul = 1, bMul = 1, aMul = 1;
    double rAdd = 0, gAdd = 0, bAdd = 0, aAdd = 0;
};
avm1::Value makeColorTransform(avm1::Vm& vm, const ScriptColorTransform& c);
// The numbers of a ColorTransform object; nothing for anything else.
std::optional<ScriptColorTransform> colorTransformOf(avm1::Vm& vm, const avm1::Value& v);
// Between the display's fixed-point form (multipliers in 1/256) and the script's numbers.
ScriptColorTransform toScript(const ColorTransform& c);
ColorTransform toDisplay(const ScriptColorTransform& c);

// Every class above, and flash.geom.Transform (transform_class.cpp, it reaches clips).
void registerGeomClasses(avm1::Vm& vm);

}  // namespace swf::geom
