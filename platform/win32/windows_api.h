// SPDX-License-Identifier: MIT
#pragma once
// <windows.h> without the A/W macros whose names the platform layer uses
// for its own functions (platform::LoadLibrary, platform::DeleteFile...).
// Code here calls the W functions by their full names.
#include <windows.h>

// The common controls' message macros send through SNDMSG.
#define SNDMSG ::SendMessageW

#undef LoadLibrary
#undef GetModuleFileName
#undef CreateDirectory
#undef DeleteFile
#undef SetCurrentDirectory
#undef GetCurrentDirectory
#undef SendMessage
#undef RegisterWindowMessage
#undef SearchPath
#undef ReplaceFile
#undef GetPrivateProfileString
#undef WritePrivateProfileString
#undef CreateFile
#undef MoveFile
