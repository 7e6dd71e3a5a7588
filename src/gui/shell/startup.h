// SPDX-License-Identifier: MIT
#pragma once

#include <optional>

namespace nuvio {

struct ProgramValues;
class TForm1;
class Tsettings;
class Tdownloading;
struct MainWindowCommands;

// What the main window's commands call in the other windows and subsystems.
MainWindowCommands standardCommands(TForm1& form, Tsettings& settingsDialog,
                                    Tdownloading& progressWindow);

// The built-in texts are the Danish ones: the language file is read at start-up only when
// the language is not exactly "Dansk". Returns whether it was read.
bool loadStartupLanguage(TForm1& form, Tsettings& settingsDialog, Tdownloading& progressWindow);

// "--help" and "--version" are answered on the standard output, and the program ends
// with the code returned; nothing else of the command line is read.
std::optional<int> answerCommandLine(int argc, char** argv, const ProgramValues& program);

// The program: one copy per desktop, the three windows, the start view, the message loop,
// and the settings saved at the end. Returns the exit code.
int runNuvio(int argc, char** argv);

} // namespace nuvio
