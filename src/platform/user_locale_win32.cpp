#include <windows.h>

#include "platform/user_locale.h"

namespace torvale {

char UserDecimalSeparator() {
    // The program's texts are UTF-8 and the separator is one byte of them: a separator beyond ASCII has none, and
    // the point stands in for it.
    wchar_t separator[8] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) > 1 && separator[0] < 0x80)
        return static_cast<char>(separator[0]);
    return '.';
}

}  // namespace torvale
