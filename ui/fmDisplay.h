// The window of a screen-saver run: full-screen and black, or hidden beside the preview pane.
#pragma once

#include "form.h"
#include "timer.h"

namespace kestoral {

class TFormDisplay : public TForm {
public:
    TFormDisplay();

protected:
    FormStyle Style() const override;
    void FormCreate() override;
    void FormCloseQuery(bool& canClose) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void tmControlTimer();

    TTimer tmControl;
};

extern TFormDisplay* FormDisplay;

}  // namespace kestoral
