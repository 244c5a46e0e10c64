#pragma once
// Normal and configuration mode: everything of the program that needs the
// window system. The executable loads it only for these modes, so that
// delete mode starts without the interface libraries.

// The entry the executable calls with its own arguments; returns the exit
// code. The name is looked up in the loaded module.
extern "C" int KorvaWindowedMain(int argc, char** argv);

// The file name of the module, next to the executable.
inline constexpr const char* WindowedModuleFileName = "libkorva_windowed.so";
