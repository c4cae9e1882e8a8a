// SPDX-License-Identifier: GPL-3.0-or-later
// Kalventor: a brick-breaking arcade game.
#include <string>
#include <vector>

#include "game/startup.h"

int main(int argc, char** argv)
{
    return run_program(std::vector<std::string>(argv + 1, argv + argc));
}
