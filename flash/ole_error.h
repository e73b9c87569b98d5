// Errors of the control binding, raised as C++ exceptions to the code that drives the control.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <stdexcept>
#include <string>

namespace kestoral {

// A COM call failed with `ErrorCode`; the text is the system's message for it.
class EOleSysError : public std::runtime_error {
public:
    explicit EOleSysError(HRESULT errorCode);
    HRESULT ErrorCode() const { return errorCode_; }

protected:
    EOleSysError(HRESULT errorCode, const std::string& message);

private:
    HRESULT errorCode_;
};

// The control raised an exception from IDispatch::Invoke (DISP_E_EXCEPTION): its EXCEPINFO,
// converted to ANSI text. The text of the error is the control's description.
class EOleException : public EOleSysError {
public:
    // Takes over the strings of `info` (they are freed here) after running its deferred fill-in.
    explicit EOleException(EXCEPINFO& info);

    const std::string& Source() const { return source_; }
    const std::string& Description() const { return description_; }
    const std::string& HelpFile() const { return helpFile_; }
    DWORD HelpContext() const { return helpContext_; }

private:
    EOleException(HRESULT code, std::string source, std::string description, std::string helpFile,
                  DWORD helpContext);
    static EOleException FromInfo(EXCEPINFO& info);

    std::string source_;
    std::string description_;
    std::string helpFile_;
    DWORD helpContext_;
};

// The system's text for an HRESULT, without the trailing line end; "OLE error XXXXXXXX" when the
// system has none.
std::string OleErrorText(HRESULT code);

}  // namespace kestoral
