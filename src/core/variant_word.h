#pragma once

#include <optional>
#include <span>
#include <string_view>

// One word a data-file option accepts and the variant code it selects.
// Each family of variants keeps its table of words beside its codes.
struct VariantWord {
    std::string_view word;
    int code;
};

// The code of `word` in `table` (exact, case-sensitive), or nothing.
inline std::optional<int> codeOfWord(std::span<const VariantWord> table, std::string_view word)
{
    for (const VariantWord& entry : table)
        if (entry.word == word) return entry.code;
    return std::nullopt;
}

// The code of `table` that an option kept as a number holds, or 0 for a
// value that is none of them.
inline int codeOfValue(std::span<const VariantWord> table, double value)
{
    for (const VariantWord& entry : table)
        if (value == entry.code) return entry.code;
    return 0;
}
