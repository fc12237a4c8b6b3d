#pragma once
// Loading a whole file into a document's edit control.

#include <windows.h>

enum class LoadMode {
    Insert = 0,       // the file's bytes replace the selection, as they are
    NewDocument = 1,  // the file becomes the whole text, line ends checked
};

// 1 when the text is in the edit control; 0 when loading failed (reported)
// or the user cancelled the line-end question.
int LoadFile(HWND document, const char* path, LoadMode mode);

// Asks whether to convert when the first line end is a lone CR or LF.
// Answers the block to hand to the edit control (the same one or a
// converted one), or none when the user cancelled or memory ran out; a
// block that is not handed back has been freed.
HLOCAL AskAndNormaliseLineEnds(HLOCAL block);

// A new block with every lone CR and lone LF turned into CR LF; the input
// block is freed. None (input block kept) when memory ran out.
HLOCAL NormaliseLineEnds(HLOCAL block);
