// The one header through which the library reaches the platform: Windows
// itself, or hostwin on other hosts. Library code is the same on both.
#pragma once

#ifdef _WIN32
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <winspool.h>
#include <objbase.h>
#include <cguid.h>
#else
#include "hostwin/win32.h"
#endif
