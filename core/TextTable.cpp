#include "core/TextTable.h"

CTextTable g_TextTable;
