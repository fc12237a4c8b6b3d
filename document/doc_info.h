#pragma once
// The document information report and the go-to-line dialog's line count:
// pure formatting of values the caller reads from the edit control.

#include <string>

struct DocumentInfo {
    int dpiX, dpiY;                  // logical resolution of the display
    int left, top, right, bottom;    // formatting rectangle, pixels
    int textLength;                  // bytes of text, line ends included
    int lineCount;
    int caretLine;                   // counted from 1
    int caretColumn;                 // counted from 1, in bytes
    std::string faceName;
    std::string encodingName;        // what the document's file is written in
};

// The six pieces of the report joined into one text; lines are separated
// by a lone CR, which the program's message box breaks on.
std::string FormatDocumentInfo(const DocumentInfo& info);

// The byte column, counted from 1, of selectionStart on the line starting at
// lineStart. lineStart must be the start of the line holding selectionStart;
// should it lie beyond selectionStart, the column is 1, never zero or less.
int ColumnFromOffsets(int selectionStart, int lineStart);

// "%d行": the line count shown in the go-to-line dialog.
std::string FormatLineCountLabel(int lines);
