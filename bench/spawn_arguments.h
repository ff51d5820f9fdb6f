#pragma once

#include <string>
#include <vector>

// The null-ended pointer array posix_spawn takes for argv and envp; the strings
// must outlive the spawn.
inline std::vector<char *> pointersTo(std::vector<std::string> &strings)
{
    std::vector<char *> pointers;
    for (std::string &s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}
