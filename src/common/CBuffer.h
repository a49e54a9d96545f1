#include "tolvane/Buffer.h"
