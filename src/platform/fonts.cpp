#include "platform/fonts.h"

// Placeholder: replaced by the FreeType fonts.
unsigned buildBitmapFont(unsigned, unsigned) { return 0; }
unsigned cp1251ToUnicode(unsigned char byte) { return byte; }
