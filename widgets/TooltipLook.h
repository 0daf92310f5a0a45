#pragma once

// Tooltips of the program: light cyan background, shown at once and kept for ten seconds.
void installTooltipLook();
