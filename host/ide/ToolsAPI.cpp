#include "host/ide/ToolsAPI.h"

IBorlandIDEServices* BorlandIDEServices = nullptr;
