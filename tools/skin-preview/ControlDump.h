#pragma once

#include "uilib/controls/ControlUI.h"

#include <string>

// The control tree as text, one control a line, parents before their children: two spaces per depth,
// the class name, then ` name="…" rect=left,top,right,bottom visible=0|1 text="…"` (window
// coordinates, UTF-8, with backslash, '"' and line breaks written as \\, \", \n and \r).
std::string DumpControlTree(UiLib::CControlUI& root);
