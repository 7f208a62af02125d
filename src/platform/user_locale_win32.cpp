#include <windows.h>

#include "platform/user_locale.h"

namespace torvale {

char UserDecimalSeparator() {
    char separator[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) > 1)
        return separator[0];
    return '.';
}

}  // namespace torvale
