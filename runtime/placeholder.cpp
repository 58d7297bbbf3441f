// Placeholder so that the framework library has a source until the runtime lands.
#include "runtime/qivlib.h"
