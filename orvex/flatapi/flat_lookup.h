// The one look-up the forwarders make on every call: the function's address in the
// camera library and in the media library (each null when that library is not
// loaded or does not export the name).
#pragma once

struct FlatTargets {
    void* camera;
    void* media;
};

FlatTargets FlatLookupBoth(const char* name);
