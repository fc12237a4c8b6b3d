#include "text/current_log_font.h"

LOGFONTA CurrentLogFont = {};
