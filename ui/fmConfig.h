// The configuration dialog: which movie the screen saver plays.
#pragma once

#include "form.h"

namespace kestoral {

class TFormConfig : public TForm {
protected:
    FormStyle Style() const override;
    void FormCreate() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

extern TFormConfig* FormConfig;

}  // namespace kestoral
