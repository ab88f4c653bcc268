#include "platform/memory/memory_instance_guard.h"
