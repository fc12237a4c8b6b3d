#pragma once
// Finding and replacing in the active document, with the strings of
// SearchState.

// Searches forward (direction +1) or backward (-1) from the selection and
// selects what it finds; with replaceFirst, the selection is first replaced
// by the replace string and the search goes forward from the end of the
// inserted text. 1 when something was found, 0 when not (reported) or when
// there is nothing to search for.
int FindText(int direction, int replaceFirst);

// Replaces every occurrence of the find string in the active document. True
// when it ran to its end, whether or not anything was found; false when the
// find string is empty or the text could not be rebuilt (reported).
bool ReplaceAll();

// Repeats the search backward.
void FindPrevious();
