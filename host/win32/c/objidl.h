/* Declared with the rest of the C subset. */
#include "windows.h"
