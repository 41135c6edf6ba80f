#pragma once

// Registers the compiled-in pictures under ":/assets/". A static library's
// resources are only linked in when something calls this; calling it twice is harmless.
void VerzInitAssets();
