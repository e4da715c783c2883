#include "support/fake_gnuplot.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace testing_support {

FakeGnuplot::FakeGnuplot(const std::string& script)
{
    folder.write("gnuplot", script);
    std::filesystem::permissions(folder.path() / "gnuplot", std::filesystem::perms::owner_all);
}

bool fixedGnuplotInstalled()
{
    return std::filesystem::exists("/opt/local/bin/gnuplot");
}

std::vector<std::string> gnuplotInputs(const std::filesystem::path& workDir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(workDir)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("gnuplot-input-", 0) == 0) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> inputs;
    for (const auto& name : names) {
        std::ifstream in(workDir / name, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        inputs.push_back(text.str());
    }
    return inputs;
}

} // namespace testing_support
