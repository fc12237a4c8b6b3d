#include "state/current_log_font.h"

LOGFONTA CurrentLogFont = {};
