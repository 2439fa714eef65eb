// The name a table case gives its test: the words of its description run
// together, each begun with a capital ("a FIFO under the name" gives
// "AFIFOUnderTheName"), as GoogleTest allows only letters and digits.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

inline std::string CaseName(const char* what) {
    std::string name;
    bool upper = true;
    for (const char* c = what; *c != '\0'; ++c) {
        const bool letter = (*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9');
        if (letter) name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(*c))) : *c;
        upper = !letter;
    }
    return name;
}

// For INSTANTIATE_TEST_SUITE_P over a table whose rows carry `what`.
struct CaseNameOf {
    template <typename Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
        return CaseName(info.param.what);
    }
};
