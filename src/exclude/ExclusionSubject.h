// The text of a path as the exclusion list compares it.
#pragma once

#include "common/CMyString.h"

// The path with its "." and ".." segments resolved in the text ('/' counts as
// a separator; the disk is not read) and a stream name cut off its last
// segment ("evil.exe:payload.log" is the file "evil.exe"). A path without dot
// segments and streams is taken as it is. False when the path cannot be
// resolved (a dotted path of MAX_PATH characters or more): it is not excluded.
bool ExclusionSubject(const wchar_t* path, CMyString& subject);
