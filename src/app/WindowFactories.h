#pragma once

class Windows;

// Tells the window owner how to create each of the program's windows.
void registerWindows(Windows &windows);
