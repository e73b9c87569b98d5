// The configuration dialog: which movie the screen saver plays. It lists the SWF files of the
// movie folder, shows the chosen movie's description and preview picture, lets the user point
// the folder elsewhere through a movie file, and saves the choice on OK. It also opens the help
// file and the maker's web pages.
#pragma once

#include <functional>
#include <string>

#include "control_set.h"
#include "form.h"
#include "open_dialog.h"
#include "tooltip.h"

namespace kestoral {

class TFormConfig : public TForm {
public:
    TFormConfig();
    ~TFormConfig() override;

    // Seams, for tests: the system's file-open dialog (true when a file was chosen) and the
    // shell's "open" of a web address or file. Both default to the real thing.
    std::function<bool(TOpenDialog& dialog, HWND owner)> RunOpenDialog;
    std::function<void(const std::string& target)> OpenDocument;

    HWND Control(int id) const { return controls_.Window(id); }

protected:
    FormStyle Style() const override;
    void FormCreate() override;
    void FormShow() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool PreTranslateMessage(MSG& message) override;

    // Event handlers; `sender` is the control that raised the event.
    void coMovieNameChange(HWND sender);
    void btMoviesNewClick(HWND sender);
    void OKBtnClick(HWND sender);
    void CancelBtnClick(HWND sender);
    void cbMovieRandomClick(HWND sender);
    void imBannerClick(HWND sender);
    void imProgIconClick(HWND sender);
    void laUpdateLinkClick(HWND sender);
    void btHelpClick(HWND sender);

private:
    void FillMovieList();
    void OnCommand(int id, int code, HWND sender);
    std::string SelectedMovie() const;
    void FocusFirstOrLastControl();

    TControlSet controls_;
    TToolTip tooltip_;
    HWND lastFocus_ = nullptr;
};

extern TFormConfig* FormConfig;

}  // namespace kestoral
