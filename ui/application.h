// The application object: one per process. It owns the forms, the hidden top-level window that
// owns them (and carries the title on the taskbar), and the message loop.
#pragma once

#include <windows.h>

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "form.h"

namespace kestoral {

// The pointer shown over the application's windows: the default one, or none at all.
enum class TCursor { crDefault, crNone };

class TApplication {
public:
    TApplication() = default;
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // Initialises COM for this thread and creates the application's own window.
    void Initialize();

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title);

    bool ShowMainForm = true;
    HWND Handle() const { return window_; }
    TForm* MainForm() const { return mainForm_; }

    // Constructs a form into `reference`, which refers to it while FormCreate runs and is cleared
    // again when the construction fails; the error then propagates. The first form becomes the
    // main form.
    template <class Form>
    void CreateForm(Form*& reference) {
        auto form = std::make_unique<Form>();
        reference = form.get();
        try {
            form->CreateWindowAndRunOnCreate(window_);
        } catch (...) {
            reference = nullptr;
            throw;
        }
        Adopt(std::move(form));
    }

    // Shows the main form when ShowMainForm is on, then dispatches messages until Terminate().
    // Returns at once when there is no main form.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }

    // crNone hides the pointer over every window of the application (the system's display count
    // and the forms' WM_SETCURSOR); crDefault shows the arrow again.
    void SetCursor(TCursor cursor);
    TCursor Cursor() const { return cursor_; }

    // The standard error box: the error's text, the title as caption, an error icon.
    void ShowException(const std::exception& error) const;
    void HandleException() const;  // for use inside a catch block

private:
    void Adopt(std::unique_ptr<TForm> form);

    std::string title_;
    HWND window_ = nullptr;
    bool comInitialized_ = false;
    bool terminated_ = false;
    TCursor cursor_ = TCursor::crDefault;
    TForm* mainForm_ = nullptr;
    std::vector<std::unique_ptr<TForm>> forms_;
};

// The one application object of the process.
extern TApplication Application;

}  // namespace kestoral
