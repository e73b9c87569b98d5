#include "edit_text_input.h"

#include "html_text.h"
#include "utf8.h"

namespace swf {

TextFieldInput editTextInput(const EditTextCharacter& edit, int swfVersion) {
    TextFieldInput field;
    field.bounds = edit.bounds;
    field.wordWrap = edit.wordWrap;
    field.multiline = edit.multiline;
    field.password = edit.password;
    field.autoSize = edit.autoSize ? AutoSize::Left : AutoSize::None;
    field.border = field.background = edit.border;  // the tag's flag draws both, black on white
    field.embedFonts = edit.useOutlines;
    field.measureTrailingSpaces = swfVersion < 8;
    if (edit.useOutlines && edit.font) field.embeddedFont = edit.font;

    TextFormat base;
    if (edit.font) {
        if (!edit.font->name.empty()) base.face = edit.font->name;
        // An HTML field's style comes from its markup: the font's own bold and italic flags
        // are no default there.
        base.bold = edit.font->bold && !edit.html;
        base.italic = edit.font->italic && !edit.html;
    }
    base.size = edit.height;
    base.color = edit.color;
    // Before SWF 8 an HTML field takes its alignment from its markup alone: the tag's is not
    // its default.
    base.align = edit.html && swfVersion < 8 ? TextAlign::Left : edit.align;
    base.leftMargin = edit.leftMargin;
    base.rightMargin = edit.rightMargin;
    base.indent = edit.indent;
    base.leading = edit.leading;

    if (edit.html) {
        field.runs = parseHtmlText(edit.initialText, base, HtmlRules{edit.multiline, false, swfVersion});
    } else if (!edit.initialText.empty()) {
        std::u32string text = decodeUtf8(edit.initialText), lines;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;  // "\r\n": one break
            lines.push_back(text[i] == '\r' ? U'\n' : text[i]);
        }
        field.runs.push_back({std::move(lines), base});
    }
    if (field.runs.empty()) field.runs.push_back({U"", base});  // the format of the empty field
    return field;
}

}  // namespace swf
