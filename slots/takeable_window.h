// Which top-level windows Keyrack may take for a slot item: never one of its own (the
// indicator, the main window, the editor) and never the shell's taskbars or desktop, whatever
// title or program they seem to match, and never one the shell keeps out of sight (cloaked: on
// another virtual desktop, a suspended Store app). The window search and the editor's capture
// both ask.
#pragma once

#include "platform/desktop.h"

namespace keyrack {

// False for a window of Keyrack's own process, for the shell windows of the classes
// Shell_TrayWnd, Shell_SecondaryTrayWnd, Progman and WorkerW, and for a cloaked window.
bool IsTakeableWindow(Desktop& desktop, WindowHandle window);

}  // namespace keyrack
