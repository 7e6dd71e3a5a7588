// SPDX-License-Identifier: MIT
#pragma once

namespace nuvio {

class TForm1;
class Tdownloading;

// The definition-file update as the windows run it: with the main window's settings and
// HTTP client, the progress window, and events handled between the steps. A run asked for
// while one goes on is ignored, except that a language changed meanwhile gets its own run
// right after. Failures are reported here; a quit ends the run silently.
void CheckDefinitionFiles(TForm1& form, Tdownloading& progressWindow);
void UpdateDefinitionFiles(TForm1& form, Tdownloading& progressWindow);

} // namespace nuvio
