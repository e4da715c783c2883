#pragma once

#include <fstream>
#include <string>

// Opens one results file for a single write (header or record). Numbers go
// out in general notation with `precision` significant digits, whatever the
// user's locale. An unopenable file costs a warning in log.log and never
// stops the run; the caller then skips its write.
bool openResultFile(std::ofstream& file, const std::string& fileName, std::ios::openmode mode,
                    int precision);
