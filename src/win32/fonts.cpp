#include "win32/fonts.h"

#include "platform/utf16_win32.h"

namespace torvale {
namespace {

UniqueFont MakeFont(int height, bool bold, bool italic, bool underline, bool strikethru, const char* face) {
    return UniqueFont(CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic, underline, strikethru,
                                  DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_DONTCARE, Utf8ToWide(face).c_str()));
}

}  // namespace

UniqueFont MakeDialogFont(const Twips& twips, bool bold) {
    return MakeFont(twips.fontHeight(8.25), bold, false, false, false, "MS Sans Serif");
}

UniqueFont MakeStyleFont(const Twips& twips, const OutputStyle& style) {
    return MakeFont(twips.fontHeight(style.fontSize), style.bold, style.italic, style.underline, style.strikethru,
                    style.fontName.c_str());
}

}  // namespace torvale
