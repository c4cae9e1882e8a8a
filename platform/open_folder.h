// SPDX-License-Identifier: GPL-3.0-or-later
// Showing a folder in the desktop's file manager, so a player can put files into it by hand.
// The desktop's opener (xdg-open) runs on its own: the game never waits for it, since a file
// manager may keep it running for as long as its window is open, and reaps it at a later frame,
// so no frame stalls and no ended opener lingers as a zombie.
#pragma once

#include <string>

// Starts `xdg-open FOLDER` (the folder as one argument, no shell). Empty when it started, else
// why not. Nothing is started without a window: a headless run is a test or a tool.
std::string open_folder(const std::string& folder);
// Once a frame: collects the openers that have ended.
void reap_folder_openers();
// Once, after an opener ended without success: how it ended. Empty otherwise.
std::string take_folder_opener_failure();
