#pragma once

namespace torvale {

// The decimal separator of the user's locale, used wherever the program writes a number as text.
char UserDecimalSeparator();

}  // namespace torvale
