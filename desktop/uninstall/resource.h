// Resource identifiers of Ferryclear.
#pragma once

#include "ids.h"

#define IDI_APP 1

#define IDS_CONFIRM 501
#define IDS_NO_DIRECTORY 502
#define IDS_DIRECTORY_TOO_LONG 503
#define IDS_DAMAGED_COUNT 504
#define IDS_PATH_TOO_LONG 505
#define IDS_DOT_OR_BLANK_DIRECTORY 506
#define IDS_RELATIVE_DIRECTORY 507
