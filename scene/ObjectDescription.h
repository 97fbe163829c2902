#pragma once
// Reading object descriptions: the text files that name an object's mesh,
// textures, sounds and effects, one labelled value per line. The effect
// readers share these with the description reader.

// Layout of a description line: the value starts at this column.
#define DESCRIPTION_LABEL_COLUMN 32
// Line buffer of the description reader and the longest line it takes.
#define DESCRIPTION_LINE_BUFFER  256
#define DESCRIPTION_LINE_LIMIT   255

// Line reading shared by the description reader and the effect readers.

// The value of a description line: the text from column 32, "" for a line
// that ends at or before it.
const char* DescriptionValue(const char* line);
// Random-variant rule of texture lines: the first '%' and the digit N after
// it become "0" and the digit 1 + GameRand() % N, so "Wall%3.dds" names
// Wall01.dds to Wall03.dds. One GameRand value is drawn whenever the line has
// a '%'; a '%' not followed by a digit 1 to 9 is left as it is.
void ApplyTextureVariant(char* line);
// A colour line: label, three 3-character components each followed by one
// separator; the short form reads one character after the third component,
// the long form the rest of the line. Components are divided by 255; alpha 1.
// Returns 0 when the file ended before the third component.
int ReadColorLine(int handle, float colour[4], int longForm);
// One line of the description into buffer (DESCRIPTION_LINE_BUFFER bytes).
// 0 at the end of the file, with the buffer empty.
int ReadDescriptionLine(int handle, char* buffer);
