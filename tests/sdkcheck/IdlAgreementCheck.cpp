// Compiled with mingw-w64 against the real Windows headers, for 32 and 64
// bits: the header generated from the IDL agrees with the C++ headers there
// too, where methods are stdcall on 32 bits and the SDK declares IUnknown.
#include "tests/idl/IdlAgreement.h"
