#include "state/search_state.h"

SearchStateRecord SearchState;
