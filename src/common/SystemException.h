#pragma once
#include "tolvane/SystemException.h"
