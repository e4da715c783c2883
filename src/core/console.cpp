#include "core/console.h"

#include <iostream>

void Console::say(const std::string& line) const
{
    if (!silenced) sayAlways(line);
}

void Console::sayAlways(const std::string& line)
{
    std::cout << line << std::endl;
}
