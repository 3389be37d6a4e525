// Prints uiText(CONTEXT, TEXT) with the text table of tests/cli/ui-text-fixture.ts:
// the language quillfence-cli would choose in this environment, seen from outside.
// Usage: ui-text-probe CONTEXT TEXT
#include "cli/UiText.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    std::fputs((uiText(argv[1], argv[2]) + '\n').c_str(), stdout);
    return 0;
}
