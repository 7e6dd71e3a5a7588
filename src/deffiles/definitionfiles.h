#pragma once

namespace nuvio {

class TForm1;
class Tdownloading;

// Refreshes the local pages from the vendor's server when they are older than the
// settings allow.
void CheckDefinitionFiles(TForm1& form, Tdownloading& progressWindow);

} // namespace nuvio
