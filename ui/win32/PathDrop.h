#pragma once

#include <windows.h>

// Lets an edit box take the path of a file dropped on it from Explorer; the
// file is only named, never moved.
void AcceptDroppedPaths(HWND edit);
