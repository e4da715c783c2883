#include "core/number_text.h"

#include <locale>
#include <sstream>

std::string sixDigits(double value)
{
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << value;
    return text.str();
}
