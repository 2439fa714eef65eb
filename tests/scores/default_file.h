// The bytes a missing or damaged VORN.DAT is replaced with, written out by
// hand so that the tests and the fuzz target check the game against them.
#pragma once

#include <string>

inline const std::string GuardLine = "[Do not cheat!]" + std::string(173, ' ') + ".";

inline const std::string DefaultFile = GuardLine + "\r\n" +
                                       "Unknown;50;1;0\r\n"
                                       "Unknown;40;1;0\r\n"
                                       "Unknown;30;1;0\r\n"
                                       "Unknown;20;1;0\r\n"
                                       "Unknown;10;1;0\r\n"
                                       "5675\r\n";
