// The module's own translation unit; its code comes whole from the plug-in library, whose
// two exported entry points are declared here so the module's interface is visible.
#include "plugin/EntryPoints.h"
