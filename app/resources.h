#pragma once

// Registers the compiled-in images (the library is static, so the linker keeps them only
// when something calls this). Safe to call more than once.
void EnsureResources();
