#pragma once
// The block text language: turns the block bytes into the glyph string,
// reporting each character to a name sink (the image naming operation).
#include "hangul/name_sink.h"

// Parses g_blockBytes into g_glyphString (whose length the caller set to 0),
// handing every character to `name`. Returns the number of characters that
// could not be represented.
int ParseBlock(NameSink name);

// Appends a code page 949 code (lead byte in the high half).
void AppendCode(unsigned code);
// Appends one ASCII character.
void AppendChar(unsigned char ch);

// Adds one character to the letter run; a character offered when the run
// already holds 64 is dropped.
void CollectLetter(char ch);
// Converts the letter run to a syllable or Hangul letter, appends it (or the
// error glyph) and empties the run. Returns 1 when the run was no syllable or
// letter name, else 0. An empty run converts to nothing.
int FlushLetters(NameSink name);

// Empties the letter run (at the start of every block).
void ClearLetterRun();
