#pragma once

// Shared by the resource script and the window: a macro, as windres reads no C++.
#define IDI_PARKMARQ 1
