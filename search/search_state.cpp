#include "search/search_state.h"

SearchStateRecord SearchState;
