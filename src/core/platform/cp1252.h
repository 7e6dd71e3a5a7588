// SPDX-License-Identifier: MIT
#pragma once

namespace nuvio {

// The Windows-1252 code page, one table for every conversion in the program.

// The character of a byte. The five bytes the code page leaves unassigned (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) give the C1 control of the same value.
char32_t cp1252ToUnicode(unsigned char byte);

// The byte of a character, or -1 when the code page has none for it; the C1 controls that
// stand for the unassigned bytes have none either.
int unicodeToCp1252(char32_t code);

} // namespace nuvio
