#include "interop/Guard.h"
