#include "ole_error.h"

#include <cstdio>
#include <utility>

#include "scoped_com.h"
#include "wide_text.h"

namespace kestoral {

std::string OleErrorText(HRESULT code) {
    char buffer[512] = "";
    DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, DWORD(code),
                                    0, buffer, sizeof buffer, nullptr);
    while (length > 0 && (buffer[length - 1] == '\r' || buffer[length - 1] == '\n' || buffer[length - 1] == ' '))
        --length;
    if (length > 0) return std::string(buffer, length);
    char fallback[32];
    std::snprintf(fallback, sizeof fallback, "OLE error %08lX", static_cast<unsigned long>(code));
    return fallback;
}

EOleSysError::EOleSysError(HRESULT errorCode) : EOleSysError(errorCode, OleErrorText(errorCode)) {}

EOleSysError::EOleSysError(HRESULT errorCode, const std::string& message)
    : std::runtime_error(message), errorCode_(errorCode) {}

EOleException::EOleException(EXCEPINFO& info) : EOleException(FromInfo(info)) {}

EOleException::EOleException(HRESULT code, std::string source, std::string description, std::string helpFile,
                             DWORD helpContext)
    // The control's own words say more than the system's text for the code.
    : EOleSysError(code, description.empty() ? OleErrorText(code) : description),
      source_(std::move(source)),
      description_(std::move(description)),
      helpFile_(std::move(helpFile)),
      helpContext_(helpContext) {}

EOleException EOleException::FromInfo(EXCEPINFO& info) {
    if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
    Bstr source, description, helpFile;
    source.reset(std::exchange(info.bstrSource, nullptr));
    description.reset(std::exchange(info.bstrDescription, nullptr));
    helpFile.reset(std::exchange(info.bstrHelpFile, nullptr));
    // An scode of 0 leaves the error in the 16-bit wCode.
    const HRESULT code = info.scode != 0 ? info.scode : (info.wCode != 0 ? HRESULT(info.wCode) : DISP_E_EXCEPTION);
    return EOleException(code, AnsiFromWide(source.str()), AnsiFromWide(description.str()),
                         AnsiFromWide(helpFile.str()), info.dwHelpContext);
}

}  // namespace kestoral
