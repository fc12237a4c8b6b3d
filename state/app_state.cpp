#include "state/app_state.h"

AppStateRecord AppState;

const char kFrameClassName[] = "mkframe";
const char kDocumentClassName[] = "mkchild";
