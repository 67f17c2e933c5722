#pragma once

// How a module's entry points are exported: by their C names, the only symbols a module
// (built with hidden visibility) shows.
#define KADIVO_MODULE_EXPORT extern "C" __attribute__((visibility("default")))
