// Option rows: a caption button with its value text.
#include "interface/MenuOption.h"

void CMenuOption::Draw() {}
void CMenuOption::DrawReadOnly() {}
