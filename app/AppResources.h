#pragma once

// Registers the program's resources (the icon "MAINICON" and the wizard's
// picture). They live in a static library, whose registration the linker
// would otherwise drop; safe to call any number of times.
void LoadAppResources();
