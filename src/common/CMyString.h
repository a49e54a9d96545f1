#include "tolvane/MyString.h"
