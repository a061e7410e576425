#pragma once

// While it lives, a fatal error of the toolkit (it cannot open the display or
// start its platform plugin) ends the program as a usage error: the toolkit's
// own explanation, then the display named and the usage, exit code 2, and no
// abort with a core dump.
class CDisplayFailureExit
{
public:
    CDisplayFailureExit();
    ~CDisplayFailureExit();
    CDisplayFailureExit(const CDisplayFailureExit&) = delete;
    CDisplayFailureExit& operator=(const CDisplayFailureExit&) = delete;
};
