#pragma once
// Windows-1251, the code page the game's texts are written in, for the X11 fonts.

// The Unicode code point of a Windows-1251 byte (0 for the one undefined byte, 0x98).
unsigned cp1251ToUnicode(unsigned char byte);
