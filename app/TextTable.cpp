#include "app/TextTable.h"

CTextTable g_TextTable;
