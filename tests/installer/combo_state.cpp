// Prints the items and the selection of a combo box of another process as one JSON line:
//   combo_state <hwnd>   ->   {"count":2,"selected":1,"items":["A.swf","Default.swf"],"text":"Default.swf"}
// "text" is the selected item ("" when none). The combo box is only asked, never changed.
// Exit status: 0 printed; 1 bad argument or no such window.
#include "json_line.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const UINT kTimeoutMs = 5000;

bool Ask(HWND combo, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(combo, message, wParam, lParam, SMTO_ABORTIFHUNG, kTimeoutMs, &answer))
        return false;
    result = static_cast<LRESULT>(answer);
    return true;
}

// Asked in UTF-16, which crosses process boundaries as it is, then converted to the ANSI code
// page that the JSON line carries.
std::string ItemText(HWND combo, LRESULT index)
{
    LRESULT length = CB_ERR;
    if (!Ask(combo, CB_GETLBTEXTLEN, index, 0, length) || length == CB_ERR)
        return "";
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    LRESULT copied = CB_ERR;
    if (!Ask(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]), copied) || copied == CB_ERR)
        return "";
    int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(copied), nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(copied), &ansi[0], size, nullptr, nullptr);
    return ansi;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 1;
    HWND combo = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(argv[1], nullptr, 10)));
    LRESULT count = 0, selected = CB_ERR;
    if (!IsWindow(combo) || !Ask(combo, CB_GETCOUNT, 0, 0, count) || !Ask(combo, CB_GETCURSEL, 0, 0, selected))
        return 1;
    std::string items = "[";
    for (LRESULT i = 0; i < count; ++i)
        items += (i ? "," : "") + JsonQuoted(ItemText(combo, i));
    items += "]";
    std::string line = JsonLine()
                           .Add("count", static_cast<std::int64_t>(count))
                           .Add("selected", static_cast<std::int64_t>(selected))
                           .Add("text", selected == CB_ERR ? std::string() : ItemText(combo, selected))
                           .Str();
    // JsonLine has no list of texts: the items go in by hand before the closing brace.
    line.insert(line.size() - 1, ",\"items\":" + items);
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    return 0;
}
