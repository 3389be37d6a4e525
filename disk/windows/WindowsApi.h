#pragma once
// The Windows headers of the storage-control backend, in the order they need.

#ifndef NOMINMAX
#define NOMINMAX  // keep std::min and std::max usable
#endif
#include <windows.h>

#include <winioctl.h>

#include <ntddscsi.h>
