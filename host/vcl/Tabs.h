// Events of the VCL's tab sets.
#pragma once

#include "host/vcl/Events.h"
#include "host/vcl/System.h"

// Sender, TabIndex, and the image index the handler answers (var).
using TTabGetImageEvent = TEvent<TObject*, int, int&>;
